// The raster paths: convert the PDF once, then submit the result once per
// copy, each submission asking for one copy.

#include "delivery/ConversionBudget.h"
#include "delivery/EvenPageRotation.h"
#include "delivery/IppScript.h"
#include "delivery/JobAction.h"
#include "delivery/PpdBuilder.h"
#include "delivery/RasterArgs.h"

#include "discovery/SnmpIdentity.h"
#include "platform/Command.h"
#include "platform/RLog.h"
#include "storage/Config.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

namespace {

// A converter's result as logged: its output and exit status.
QString resultText(const char *pattern, const util::CommandResult &result)
{
    return QString::fromLatin1(pattern).arg(result.output, QString::number(result.exitCode));
}

// Ghostscript exits with 0 for a PDF it cannot read and writes nothing:
// a conversion counts only when it ended well and left some output.
bool converted(const util::CommandResult &result, const QString &output)
{
    return result.ok() && QFileInfo(output).size() > 0;
}

// The failure text, with the reason when the converter did not simply fail.
QString conversionError(const QString &text, const util::CommandResult &result)
{
    if (!result.started || result.timedOut || result.crashed)
        return text + QLatin1Char(' ') + result.describe();
    return text;
}

util::CommandResult runGs(const QStringList &args, const QString &input)
{
    util::CommandOptions options;
    options.timeoutMs = delivery::conversionBudgetMs(input);
    return util::runCommand(QStringLiteral("gs"), args, options);
}

} // namespace

bool JobAction::_copyLoop(const std::string &format)
{
    int copies = 0;
    if (!delivery::parseCopies(job.copy, copies)) {
        lastError = tr("invalid number of copies: ") + job.copy;
        TLOG(lastError);
        return false;
    }
    job.copy = QStringLiteral("1");
    const std::string converted = (job.jobFile + QStringLiteral(".dest")).toStdString();
    for (int copy = 1; copy <= copies; ++copy) {
        _waitPrinterIdle();
        if (!_ippSend(format, converted))
            return false;
    }
    return true;
}

bool JobAction::_sendApDWG()
{
    TLOG("using image/pwg-raster format sending job.");
    const delivery::PwgDuplex duplex = delivery::pwgDuplex(is_pantum(printer.deviceBrandCode), job.duplex);
    if (duplex.rotateEvenPages) {
        const QString rotated = job.jobFile + QStringLiteral(".rotate");
        QString error;
        if (!delivery::rotateEvenPages(job.jobFile, rotated, error)) {
            lastError = QStringLiteral("rotate even pages failed: ") + error;
            TLOG(lastError);
            return false;
        }
        job.jobFile = rotated;
    }

    const QStringList args =
        delivery::gsRasterArgs(delivery::RasterFormat::PwgRaster, job.jobFile, duplex.args, job.size, job.color);
    TLOG(QStringLiteral("gs command: ") + delivery::commandText(QStringLiteral("gs"), args));
    const util::CommandResult result = runGs(args, job.jobFile);
    TLOG(resultText("gs command res:%1, code:%2", result));
    if (!converted(result, job.jobFile + QStringLiteral(".dest"))) {
        lastError = conversionError(QStringLiteral("cvt to pwg failed."), result);
        TLOG(lastError);
        return false;
    }
    return _copyLoop("image/pwg-raster");
}

bool JobAction::_sendGsURF()
{
    const QStringList args = delivery::gsRasterArgs(delivery::RasterFormat::Urf, job.jobFile,
                                                    delivery::gsUrfDuplex(job.duplex), job.size, job.color);
    TLOG(QStringLiteral("gs urf command: ") + delivery::commandText(QStringLiteral("gs"), args));
    const util::CommandResult result = runGs(args, job.jobFile);
    TLOG(resultText("gs convert pdf to urf res:%1, code:%2", result));
    if (!converted(result, job.jobFile + QStringLiteral(".dest"))) {
        lastError = conversionError(QStringLiteral("gs cvt urf failed"), result);
        TLOG(lastError);
        return false;
    }
    return _copyLoop("image/urf");
}

bool JobAction::_sendApURF()
{
    QString ppd;
    if (!URF_GetPPDFile(QStringLiteral("ipp://") + printer.deviceIpAddress, ppd)) {
        lastError = QStringLiteral("URF get ppd failed: ipp://") + printer.deviceIpAddress;
        TLOG(lastError);
        return false;
    }
    const auto removePpd = qScopeGuard([&ppd] { QFile::remove(ppd); });

    util::CommandOptions options;
    options.timeoutMs = delivery::conversionBudgetMs(job.jobFile);
    const util::CommandResult result =
        util::runShell(delivery::dep4CommandLine(config::binDir + QStringLiteral("dep4"), ppd, job.jobFile), options);
    TLOG(QStringLiteral("dep4's (convert from pdf to urf according ppd) output:") + result.output);
    if (!converted(result, job.jobFile + QStringLiteral(".dest"))) {
        lastError = conversionError(QStringLiteral("cvt urf failed, using downloaded ppd."), result);
        TLOG(lastError);
        return false;
    }
    return _copyLoop("image/urf");
}
