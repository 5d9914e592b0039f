// The dispatcher: reachability, the bounded wait for an accepting printer,
// the delivery path by mode, clean-up and the usage count.

#include "delivery/JobAction.h"

#include "cloud/UsageStats.h"
#include "delivery/DeliveryModes.h"
#include "delivery/IppScript.h"
#include "delivery/PrinterQuery.h"
#include "delivery/Telnet.h"
#include "intake/ControlParser.h"
#include "intake/JobFiles.h"
#include "platform/RLog.h"

#include <QThread>
#include <QUrl>

namespace {

constexpr int kIppPort = 631;
constexpr int kRawPort = 9100;
constexpr int kPortCheckMs = 1000;
constexpr int kIdleAttempts = 60;
constexpr unsigned long kIdlePauseMs = 5000;
constexpr int kQueryConnectMs = 5000;
constexpr int kQueryAnswerMs = 10000;

// The advertised URI goes to the IPP tool as an argument: only ipp and ipps
// URIs with a host are taken.
bool usablePrinterUri(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && (url.scheme() == QLatin1String("ipp") || url.scheme() == QLatin1String("ipps")) &&
           !url.host().isEmpty();
}

} // namespace

JobAction::JobAction(const QString &path, const Printer &printer)
    : path(path), printer(printer),
      uri(QStringLiteral("ipp://") + printer.deviceIpAddress + QStringLiteral("/ipp/print"))
{
}

Job JobAction::_parseCtrl(QString ctrlPath)
{
    return parseControlFile(ctrlPath, path);
}

void JobAction::_cleanJob()
{
    cleanJob(path);
}

bool JobAction::print()
{
    bool ok = _deliver();
    _cleanJob();
    if (ok)
        util::printOKCount(printer.deviceId, printer.deviceModel);
    return ok;
}

bool JobAction::_deliver()
{
    const QString &address = printer.deviceIpAddress;
    if (!util::telnet(address, kIppPort, kPortCheckMs)) {
        lastError = tr("Cannot connect printer, port=631: ") + address;
        TLOG(lastError);
        return false;
    }
    if (!_waitPrinterIdle())
        TLOG("printer not idle, send job anyway");

    const delivery::ModeEntry *mode = delivery::modeEntry(printer.deviceDocType);
    if (!mode) {
        lastError = tr("printer not supported document format.");
        TLOG(lastError + QStringLiteral(" docType: ") + printer.deviceDocType);
        return false;
    }
    int copies = 0;
    if (!delivery::parseCopies(job.copy, copies)) {
        lastError = tr("invalid number of copies: ") + job.copy;
        TLOG(lastError);
        return false;
    }
    if (job.printAsImage && !_rasterisePrintAsImage())
        return false;

    for (const QString &line : mode->logBefore)
        TLOG(line);
    bool ok = false;
    switch (mode->route) {
    case delivery::Route::IppPdf:
        ok = _sendApPDF();
        break;
    case delivery::Route::DirectOrIpp:
        ok = _sendDirectOrApPDF();
        break;
    case delivery::Route::PwgRaster:
        ok = _sendApDWG();
        break;
    case delivery::Route::ApUrf:
        ok = _sendApURF();
        break;
    case delivery::Route::GsUrf:
        ok = _sendGsURF();
        break;
    }
    for (const QString &line : mode->logAfter)
        TLOG(line);
    return ok;
}

bool JobAction::_sendDirectOrApPDF()
{
    if (util::telnet(printer.deviceIpAddress, kRawPort, kPortCheckMs))
        return _sendDirectPDF();
    TLOG("cannot connect raw(9100) port, using ap pdf");
    return _sendApPDF();
}

bool JobAction::_waitPrinterIdle()
{
    for (int attempt = 0; attempt < kIdleAttempts; ++attempt) {
        if (_doesAcceptJob()) {
            TLOG("printer idle");
            return true;
        }
        TLOG("printer busy");
        QThread::msleep(kIdlePauseMs);
    }
    TLOG("printer not idle");
    TLOG(QStringLiteral("using uri:") + uri);
    return false;
}

bool JobAction::_doesAcceptJob()
{
    const delivery::Acceptance answer =
        delivery::queryAcceptance(printer.deviceIpAddress, kIppPort, kQueryConnectMs, kQueryAnswerMs);
    if (!answer.uriSupported.isEmpty()) {
        if (usablePrinterUri(answer.uriSupported))
            uri = answer.uriSupported;
        else
            TLOG(QStringLiteral("ignoring printer-uri-supported: ") + answer.uriSupported);
    }
    return answer.accepting;
}
