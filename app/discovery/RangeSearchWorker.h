#pragma once
// Tries every address of start .. end (last octet) on port 631 and probes
// each one that answers; a printer whose probe gives a model is offered.

#include "discovery/PrinterItem.h"

#include <QList>
#include <QString>
#include <QThread>

class RangeSearchWorker : public QThread
{
    Q_OBJECT
public:
    // `start` is a full dotted address; `end` the decimal last octet of the end
    // address, which shares the first three octets of `start`.
    RangeSearchWorker(const QString &start, const QString &end, QObject *parent = nullptr);

    // How many connect tests and probes may run at once (before start()); 1 and
    // 1 search one address after the other. The list is the same either way.
    void setParallelism(int connects, int probes);

    static constexpr int kConnectTimeoutMs = 500;

signals:
    void resultReady(QList<PrinterItem> items);

protected:
    void run() override;

private:
    const QString m_start;
    const QString m_end;
    int m_parallelConnects = 64;
    int m_parallelProbes = 16;
};
