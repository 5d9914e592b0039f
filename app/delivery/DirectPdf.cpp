// Direct delivery: the document inside the brand's PJL header and footer,
// streamed to the printer's raw port. Sent means every byte reached the
// printer, not merely that the port answered.

#include "delivery/JobAction.h"
#include "delivery/RawPort.h"

#include "pjl/PJLHeader.h"
#include "platform/RLog.h"

#include <QFile>
#include <QScopeGuard>
#include <QThread>

namespace {

constexpr int kRawPort = 9100;

} // namespace

bool JobAction::_sendDirectPDF()
{
    PJLHeader header(job, printer.deviceBrandCode.toStdString());
    const QString wrapped = QString::fromStdString(header.generateNewPdf(job.jobFile.toStdString()));
    TLOG(QStringLiteral("Using raw(9100) sending job: ") + job.jobFile);
    if (wrapped.isEmpty()) {
        lastError = QStringLiteral("Raw sending failed, result: 0, ") + QString::fromStdString(header.lastError());
        TLOG(lastError);
        return false;
    }
    const auto removeWrapped = qScopeGuard([&] {
        if (wrapped != job.jobFile)
            QFile::remove(wrapped);
    });

    const delivery::RawSendResult sent = delivery::sendFileRaw(printer.deviceIpAddress, kRawPort, wrapped);
    if (!sent.readable) {
        lastError = QStringLiteral("Raw sending failed, result: 0, ") + sent.error;
        TLOG(lastError);
        return false;
    }
    if (!sent.connected) {
        TLOG(QStringLiteral("connected failed: ") + printer.deviceIpAddress + QStringLiteral(":9100 ") + sent.error);
        lastError = QStringLiteral("Raw sending failed, result: 0");
        TLOG(lastError);
        return false;
    }
    // Give the printer a moment after the connection ended before anything else reaches it.
    QThread::sleep(1);
    if (!sent.complete) {
        lastError = QStringLiteral("Raw sending failed, result: 0, %1 of %2 bytes sent: %3")
                        .arg(QString::number(sent.sent), QString::number(sent.total), sent.error);
        TLOG(lastError);
        return false;
    }
    return true;
}
