#include "discovery/AddPrinterWorker.h"

#include "discovery/Address.h"
#include "discovery/NetworkText.h"
#include "discovery/PrinterProbe.h"
#include "discovery/Reachability.h"
#include "storage/PrinterStore.h"

AddPrinterWorker::AddPrinterWorker(const QList<PrinterItem> &items, QObject *parent) : QThread(parent), m_items(items)
{
    PrinterItem::registerMetaTypes();
}

void AddPrinterWorker::run()
{
    QString err;
    for (const PrinterItem &item : m_items) {
        if (!util::isIPv4Address(item.ip) || !util::tcpProbe(item.ip, 631, 1000)) {
            err = QObject::tr("Cannot connect printer!");
        } else {
            m_printer = util::getPrinterInfoByIP(item.ip);
            m_printer.deviceName = util::cleanNetworkText(item.name);
            QString reason;
            if (util::isPrinterExistByIP(m_printer.deviceIpAddress))
                err = QStringLiteral("exist");
            else if (!util::addPrinter(m_printer, reason))
                err = QObject::tr("Add printer failed: ") + reason;
        }
        if (!err.isEmpty())
            break;
    }
    emit resultReady(err);
}
