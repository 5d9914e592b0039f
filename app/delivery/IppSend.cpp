// IPP submission: one Print-Job through the scripted IPP tool, judged by its
// exit status.

#include "delivery/IppScript.h"
#include "delivery/JobAction.h"

#include "platform/Command.h"
#include "platform/RLog.h"
#include "storage/Config.h"

#include <QFile>
#include <QSaveFile>
#include <QScopeGuard>
#include <QThread>

namespace {

constexpr int kJobNameMax = 248;

// Printers that hold one job at a time answer server-error-busy while the
// previous job (often the previous copy) is still printing, even though they
// report accepting jobs. Retry for as long as the idle wait would wait.
constexpr int kBusyAttempts = 150;
constexpr unsigned long kBusyPauseMs = 2000;

bool printerWasBusy(const util::CommandResult &result)
{
    return result.output.contains(QLatin1String("server-error-busy"));
}

} // namespace

bool JobAction::_sendApPDF()
{
    return _ippSend("application/pdf", job.jobFile.toStdString());
}

QString JobAction::_truncate_job_name_from_head(const QString &name, int maxLength, bool fromHead)
{
    if (name.isEmpty() || name.size() <= maxLength) {
        TLOG(QStringLiteral("no need to truncate job_name: %1").arg(name.size()));
        return name;
    }
    return fromHead ? name.right(maxLength) : name.left(maxLength);
}

bool JobAction::_ippSend(const std::string &format, const std::string &file)
{
    const QString formatText = QString::fromStdString(format);
    const QString fileText = QString::fromStdString(file);
    TLOG(QStringLiteral("Send job using IPP: ") + uri);
    TLOG(QStringLiteral("job format: ") + formatText);
    TLOG(QStringLiteral("job file: ") + fileText);

    delivery::IppScriptValues values;
    values.name = _truncate_job_name_from_head(job.name, kJobNameMax, true);
    if (values.name.isEmpty())
        values.name = job.name;
    values.name = delivery::keepTailWithinBytes(values.name, kJobNameMax);
    values.format = formatText;
    values.media = delivery::mediaSizeFor(job.size);
    TLOG(values.media.logText);
    if (!delivery::parseCopies(job.copy, values.copies)) {
        lastError = tr("invalid number of copies: ") + job.copy;
        TLOG(lastError);
        return false;
    }
    values.color = job.color;
    values.sides = job.duplex;
    values.handling = job.collate;

    const QByteArray script = delivery::ippScript(values);
    TLOG(QStringLiteral("control: ") + QString::fromUtf8(script));
    const QString scriptPath = job.jobFile + QStringLiteral(".apctl");
    const auto removeScript = qScopeGuard([&scriptPath] { QFile::remove(scriptPath); });
    QSaveFile out(scriptPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(script) != script.size() || !out.commit()) {
        lastError = QStringLiteral("cannot write IPP script ") + scriptPath + QStringLiteral(": ") + out.errorString();
        TLOG(lastError);
        return false;
    }

    const bool ipp10 = printer.m_ipp_version == QLatin1String("VERSION 1.0");
    util::CommandOptions options;
    options.timeoutMs = -1; // a large raster may take long to send
    util::CommandResult result;
    for (int attempt = 1;; ++attempt) {
        result = util::runCommand(config::ippTool, delivery::ippToolArgs(ipp10, fileText, uri, scriptPath), options);
        if (result.ok() || !printerWasBusy(result) || attempt == kBusyAttempts)
            break;
        TLOG(QStringLiteral("printer answered busy, sending again in %1 s").arg(kBusyPauseMs / 1000));
        QThread::msleep(kBusyPauseMs);
    }
    TLOG(QStringLiteral("After 30s, dep1(ipptool) send res code:%1").arg(result.exitCode));
    TLOG(QStringLiteral("After 30s, dep1(ipptool) send result details:%1").arg(result.output));
    // ipptool also exits with 0 when it gave up before the test (a file it
    // cannot read, a script it cannot parse): only a passed test is a success.
    if (result.ok() && result.output.contains(QLatin1String("[PASS]")))
        return true;
    lastError = config::ippTool + QStringLiteral(" return: ") + result.output;
    if (result.output.trimmed().isEmpty())
        lastError += result.describe();
    TLOG(lastError);
    return false;
}
