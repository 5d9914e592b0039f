// Runs one delivery step and prints how long it took, as one JSON line for
// bench/delivery.py.
//
//   tavrin_delivery_bench raw IP DOCUMENT BRAND   wrap the document in its PJL
//                                                 header and stream it to IP:9100
//   tavrin_delivery_bench pwg IP DOCUMENT         deliver it in mode "pwg"
//
// The tools come from the program directory's bin/ (TAVRIN_FILE_DIR must be
// set, so that nothing touches an installed system).

#include "delivery/JobAction.h"
#include "delivery/RawPort.h"
#include "pjl/PJLHeader.h"
#include "platform/Crypto.h"
#include "platform/EncConst.h"
#include "platform/RLog.h"
#include "storage/Config.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace {

QString jsonText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1String("\\"), QLatin1String("\\\\")).replace(QLatin1String("\""), QLatin1String("\\\""));
    out.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

int raw(const QString &ip, const QString &doc, const QString &brand)
{
    Job job;
    job.jobFile = doc;
    PJLHeader header(job, brand.toStdString());
    QElapsedTimer clock;
    clock.start();
    const QString wrapped = QString::fromStdString(header.generateNewPdf(doc.toStdString()));
    const double wrapS = clock.nsecsElapsed() / 1e9;
    if (wrapped.isEmpty()) {
        std::printf("{\"ok\": false, \"error\": %s}\n",
                    qPrintable(jsonText(QString::fromStdString(header.lastError()))));
        return 1;
    }
    clock.restart();
    const delivery::RawSendResult sent = delivery::sendFileRaw(ip, 9100, wrapped);
    const double sendS = clock.nsecsElapsed() / 1e9;
    QFile::remove(wrapped);
    std::printf("{\"ok\": %s, \"wrap_s\": %.3f, \"send_s\": %.3f, \"bytes\": %lld, \"error\": %s}\n",
                sent.complete ? "true" : "false", wrapS, sendS, static_cast<long long>(sent.sent),
                qPrintable(jsonText(sent.error)));
    return sent.complete ? 0 : 1;
}

// The time of a deciphered log record: "YYYY-MM-DD HH:MM:SS.mmm ...".
QDateTime recordTime(const QByteArray &line)
{
    return QDateTime::fromString(QString::fromLatin1(line.left(23)), QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString recordText(const QByteArray &line)
{
    const int fn = line.indexOf("] [");
    const int msg = fn < 0 ? -1 : line.indexOf("] ", fn + 3);
    if (msg < 0)
        return {};
    std::string text = des_decrypt_str(line.mid(msg + 2).trimmed().toStdString(), EncConst::LOCAL_KEY);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return QString::fromStdString(text);
}

int pwg(const QString &ip, const QString &doc)
{
    util::initAppLog(config::logDir);
    Printer printer;
    printer.deviceIpAddress = ip;
    printer.deviceDocType = QStringLiteral("pwg");
    printer.deviceModel = QStringLiteral("bench");
    printer.m_ipp_version = QStringLiteral("VERSION 2.0");
    JobAction action(doc, printer);
    action.job.jobFile = doc;
    action.job.name = QStringLiteral("bench.pdf");
    QElapsedTimer clock;
    clock.start();
    const bool ok = action.print();
    const double totalS = clock.nsecsElapsed() / 1e9;
    tavrin::log::shutdown();

    QDateTime started, ended;
    QFile log(config::logDir + QStringLiteral("app.log"));
    if (log.open(QIODevice::ReadOnly)) {
        while (!log.atEnd()) {
            const QByteArray line = log.readLine();
            const QString text = recordText(line);
            if (text.startsWith(QLatin1String("gs command: ")))
                started = recordTime(line);
            else if (text.startsWith(QLatin1String("gs command res:")))
                ended = recordTime(line);
        }
    }
    const double convertS = started.isValid() && ended.isValid() ? started.msecsTo(ended) / 1000.0 : -1;
    std::printf("{\"ok\": %s, \"convert_s\": %.3f, \"total_s\": %.3f, \"error\": %s}\n", ok ? "true" : "false",
                convertS, totalS, qPrintable(jsonText(action.lastError)));
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (qEnvironmentVariableIsEmpty("TAVRIN_FILE_DIR") || args.size() < 3) {
        std::fprintf(stderr, "usage: TAVRIN_FILE_DIR=DIR %s raw IP DOCUMENT BRAND | pwg IP DOCUMENT\n", argv[0]);
        return 2;
    }
    config::ippTool = config::binDir + QStringLiteral("dep1");
    if (args.at(0) == QLatin1String("raw") && args.size() >= 4)
        return raw(args.at(1), args.at(2), args.at(3));
    if (args.at(0) == QLatin1String("pwg"))
        return pwg(args.at(1), args.at(2));
    std::fprintf(stderr, "unknown step %s\n", argv[1]);
    return 2;
}
