#pragma once
// Checks one address: does its IPP port answer, and what printer is it.

#include "storage/Printer.h"

#include <QString>
#include <QThread>

class CheckPrinterWorker : public QThread
{
    Q_OBJECT
public:
    explicit CheckPrinterWorker(const QString &ip, QObject *parent = nullptr);

signals:
    // Both are emitted, in this order. On success err is empty, the printer's
    // deviceName is its model and printerName that same model; on failure err
    // is the translated "Cannot connect printer!" and the others are empty.
    void resultReady(QString printerName, QString err);
    void resultReady(Printer p, QString err);

protected:
    void run() override;

private:
    const QString m_ip;
};
