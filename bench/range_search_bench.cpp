// Runs one range search (or one probe) and prints what it found and how long
// it took, as one JSON line for bench/range_search.py.
//
//   tavrin_range_search_bench START END [--sequential]
//   tavrin_range_search_bench --probe IP
//
// The tools come from the program directory's bin/ (TAVRIN_FILE_DIR must be
// set, so that nothing touches an installed system).

#include "discovery/PrinterProbe.h"
#include "discovery/RangeSearchWorker.h"
#include "storage/Config.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>

namespace {

QString jsonText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1String("\\"), QLatin1String("\\\\")).replace(QLatin1String("\""), QLatin1String("\\\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (qEnvironmentVariableIsEmpty("TAVRIN_FILE_DIR") || args.size() < 2) {
        std::fprintf(stderr, "usage: TAVRIN_FILE_DIR=DIR %s START END [--sequential] | --probe IP\n", argv[0]);
        return 2;
    }
    config::ippTool = config::binDir + QStringLiteral("dep1");

    QElapsedTimer clock;
    clock.start();
    QStringList found;
    if (args.at(0) == QLatin1String("--probe")) {
        const Printer p = util::getPrinterInfoByIP(args.at(1));
        found << QStringLiteral("[%1, %2]").arg(jsonText(p.deviceModel), jsonText(p.deviceIpAddress));
    } else {
        RangeSearchWorker worker(args.at(0), args.at(1));
        if (args.contains(QStringLiteral("--sequential")))
            worker.setParallelism(1, 1);
        QEventLoop loop;
        QObject::connect(
            &worker, &RangeSearchWorker::resultReady, &loop,
            [&](QList<PrinterItem> items) {
                for (const PrinterItem &item : items)
                    found << QStringLiteral("[%1, %2]").arg(jsonText(item.name), jsonText(item.ip));
                loop.quit();
            },
            Qt::QueuedConnection);
        worker.start();
        loop.exec();
        worker.wait();
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("{\"seconds\": %.3f, \"items\": [%s]}\n", seconds,
                found.join(QStringLiteral(", ")).toUtf8().constData());
    return 0;
}
