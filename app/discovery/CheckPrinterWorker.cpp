#include "discovery/CheckPrinterWorker.h"

#include "discovery/Address.h"
#include "discovery/PrinterItem.h"
#include "discovery/PrinterProbe.h"
#include "discovery/Reachability.h"
#include "platform/RLog.h"

CheckPrinterWorker::CheckPrinterWorker(const QString &ip, QObject *parent) : QThread(parent), m_ip(ip)
{
    PrinterItem::registerMetaTypes();
}

void CheckPrinterWorker::run()
{
    // The dialogs' lenient check lets "1.2.3.x" through; only a real address
    // may reach the connect test, which would otherwise look it up as a name.
    const bool ok = util::isValidIP(m_ip) && util::isIPv4Address(m_ip) && util::tcpProbe(m_ip, 631, 1000);
    Printer printer;
    QString printerName;
    QString err;
    if (!ok) {
        TLOG("Cannot connect printer!");
        err = QObject::tr("Cannot connect printer!");
    } else {
        printer = util::getPrinterInfoByIP(m_ip);
        printer.deviceName = printer.deviceModel;
        printerName = printer.deviceModel;
    }
    emit resultReady(printerName, err);
    emit resultReady(printer, err);
}
