#include "discovery/SNMPSearchWorker.h"

#include "discovery/Address.h"
#include "discovery/NetworkText.h"
#include "discovery/Reachability.h"
#include "discovery/SnmpBackendListing.h"
#include "platform/Command.h"
#include "platform/RLog.h"

namespace {
// Connect tests run side by side; each still waits its own second.
constexpr int kParallelConnects = 64;
} // namespace

SNMPSearchWorker::SNMPSearchWorker(const QString &backend, QObject *parent) : QThread(parent), m_backend(backend)
{
    PrinterItem::registerMetaTypes();
}

void SNMPSearchWorker::run()
{
    const util::CommandResult r = util::runCommand(m_backend, {});
    TLOG(QStringLiteral("snmp result: ") + r.output);

    // Only plain IPv4 addresses go on: a URI with a port or a name leaves a
    // text that no connect test would reach.
    QList<PrinterItem> candidates;
    for (const PrinterItem &device : util::devicesFromSnmpListing(r.output)) {
        if (util::isIPv4Address(device.ip))
            candidates << PrinterItem{util::cleanNetworkText(device.name), device.ip};
    }
    QStringList addresses;
    for (const PrinterItem &device : candidates)
        addresses << device.ip;
    const QVector<bool> answers = util::tcpProbeMany(addresses, 631, 1000, kParallelConnects);

    QList<PrinterItem> items;
    for (int i = 0; i < candidates.size(); ++i) {
        if (answers.at(i))
            items << candidates.at(i);
    }
    emit resultReady(items);
}
