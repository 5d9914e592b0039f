#pragma once
// Finds printers through the CUPS SNMP backend and keeps those whose IPP port answers.

#include "discovery/PrinterItem.h"

#include <QList>
#include <QString>
#include <QThread>

class SNMPSearchWorker : public QThread
{
    Q_OBJECT
public:
    // `backend` is the CUPS SNMP backend to run; tests point it elsewhere.
    explicit SNMPSearchWorker(const QString &backend = QString::fromLatin1(kCupsSnmpBackend),
                              QObject *parent = nullptr);

    static constexpr const char *kCupsSnmpBackend = "/usr/lib/cups/backend/snmp";

signals:
    void resultReady(QList<PrinterItem> items);

protected:
    void run() override;

private:
    const QString m_backend;
};
