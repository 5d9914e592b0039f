#include "discovery/RangeSearchWorker.h"

#include "discovery/Address.h"
#include "discovery/BoundedParallel.h"
#include "discovery/PrinterProbe.h"
#include "discovery/Reachability.h"

#include <QVector>

RangeSearchWorker::RangeSearchWorker(const QString &start, const QString &end, QObject *parent)
    : QThread(parent), m_start(start), m_end(end)
{
    PrinterItem::registerMetaTypes();
}

void RangeSearchWorker::setParallelism(int connects, int probes)
{
    m_parallelConnects = qMax(1, connects);
    m_parallelProbes = qMax(1, probes);
}

void RangeSearchWorker::run()
{
    const QStringList addresses = util::rangeAddresses(m_start, m_end);
    const QVector<bool> answers = util::tcpProbeMany(addresses, 631, kConnectTimeoutMs, m_parallelConnects);

    QStringList answering;
    for (int i = 0; i < addresses.size(); ++i) {
        if (answers.at(i))
            answering << addresses.at(i);
    }
    // Each probe writes only its own slot, so the list keeps address order.
    QVector<QString> models(answering.size());
    util::runBounded(answering.size(), m_parallelProbes,
                     [&](int i) { models[i] = util::getPrinterInfoByIP(answering.at(i)).deviceModel; });

    QList<PrinterItem> items;
    for (int i = 0; i < answering.size(); ++i) {
        if (!models.at(i).isEmpty())
            items << PrinterItem{models.at(i), answering.at(i)};
    }
    emit resultReady(items);
}
