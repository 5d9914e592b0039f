// Driver of bench/job_watcher.py: how long after a job's done marker appears
// does the main window start its worker? A writer thread lays down jobs the
// way the capture backend does (document, control file, marker last) at
// uneven intervals; the window's jobStarted signal marks the worker start.
// Prints one JSON line: {"mode", "jobs", "median_ms", "max_ms"}.
//
// Usage: tavrin_job_watcher_bench watch|poll [jobs]
// Run with TAVRIN_FILE_DIR set to a scratch directory (bench/job_watcher.py does).

#include "cloud/Itf.h"
#include "storage/Config.h"
#include "storage/Printer.h"
#include "storage/ProtectedFile.h"
#include "ui/PrinterWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("USER", "bench");
    // The system queue check must not reach this machine's CUPS.
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavrinapp"));
    const bool watch = argc < 2 || QByteArray(argv[1]) != "poll";
    const int jobs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

    Printer::registerMetaType();
    QDir().mkpath(config::binDir);
    config::_depP = config::binDir + QStringLiteral("bench_depP");
    config::_depC = config::binDir + QStringLiteral("bench_depC");
    config::is_first_run = 0;
    Itf::_itf_url = "https://127.0.0.1:9/tavrin/itf/"; // nothing listens: no request leaves this machine

    // One printer where nothing answers on port 631: each worker fails at once.
    Printer p;
    p.deviceId = config::newGUID();
    p.deviceName = QStringLiteral("bench");
    p.deviceIpAddress = QStringLiteral("127.0.0.1");
    p.deviceDocType = QStringLiteral("dirpdf");
    Json::Value list(Json::arrayValue);
    list.append(p.toJson());
    config::saveSecureJson(list, config::_depP);

    PrinterWindow window(nullptr, nullptr);
    window.setSpoolWatching(watch);
    const QString spool = window.spoolDirectory();
    QDir().mkpath(spool);
    if (watch)
        window.setSpoolWatching(true); // the directory exists now

    std::mutex lock; // marker times written by the writer, read by the GUI thread
    QHash<QString, Clock::time_point> markedAt;
    std::vector<double> latencies;
    QEventLoop loop;
    QObject::connect(&window, &PrinterWindow::jobStarted, [&](const QString &doc, const QString &) {
        const Clock::time_point now = Clock::now();
        std::lock_guard<std::mutex> guard(lock);
        latencies.push_back(std::chrono::duration<double, std::milli>(now - markedAt.value(doc)).count());
        if (int(latencies.size()) == jobs)
            loop.quit();
    });

    std::atomic<bool> failed{false};
    std::thread writer([&] {
        for (int i = 0; i < jobs; ++i) {
            // Uneven gaps, so that markers fall anywhere in the polling second.
            std::this_thread::sleep_for(std::chrono::milliseconds(150 + (i * 379) % 1000));
            const QString doc = spool + QStringLiteral("/%1.tmp").arg(config::newGUID());
            const QByteArray control =
                "JOB_FILE=" + doc.toUtf8() +
                "\nUSER=bench\nDOCNAME=bench.pdf\nCOPY=1\nPORT=tavrin://printer\nJOBID=x\nOPTION=\n";
            if (!writeFile(doc, "%PDF-1.4\n%%EOF\n") || !writeFile(doc + QStringLiteral(".ctrl"), control)) {
                failed = true;
                return;
            }
            {
                std::lock_guard<std::mutex> guard(lock);
                markedAt.insert(doc, Clock::now());
            }
            if (!writeFile(doc + QStringLiteral(".done"), QByteArray())) {
                failed = true;
                return;
            }
        }
    });
    QTimer::singleShot(jobs * 3000 + 10000, &loop, [&loop] { loop.exit(1); });
    const int timedOut = loop.exec();
    writer.join();
    if (failed || timedOut) {
        std::fprintf(stderr, "bench failed: %s\n", failed ? "cannot write the spool files" : "workers did not start");
        return 1;
    }
    std::sort(latencies.begin(), latencies.end());
    const double median = latencies.size() % 2
                              ? latencies[latencies.size() / 2]
                              : (latencies[latencies.size() / 2 - 1] + latencies[latencies.size() / 2]) / 2;
    std::printf("{\"mode\": \"%s\", \"jobs\": %d, \"median_ms\": %.2f, \"max_ms\": %.2f}\n", watch ? "watch" : "poll",
                jobs, median, latencies.back());
    return 0;
}
