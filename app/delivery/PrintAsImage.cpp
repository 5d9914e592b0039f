// Print-as-image: every page becomes a picture, so the printer prints what
// the screen showed (no fonts, forms or transparency of its own).

#include "delivery/ConversionBudget.h"
#include "delivery/JobAction.h"
#include "delivery/RasterArgs.h"

#include "platform/Command.h"
#include "platform/RLog.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool JobAction::_rasterisePrintAsImage()
{
    // The picture PDF replaces the document, so every mode and the job's
    // clean-up work on it unchanged; ".dest" belongs to the job's files.
    const QString image = job.jobFile + QStringLiteral(".dest");
    const QStringList args = delivery::imagePdfArgs(job.jobFile, image, job.color);
    TLOG(QStringLiteral("print as image: ") + delivery::commandText(QStringLiteral("gs"), args));
    util::CommandOptions options;
    options.timeoutMs = delivery::conversionBudgetMs(job.jobFile);
    const util::CommandResult result = util::runCommand(QStringLiteral("gs"), args, options);
    TLOG(QStringLiteral("print as image res:%1, code:%2").arg(result.output, QString::number(result.exitCode)));
    if (!result.ok() || QFileInfo(image).size() == 0) {
        lastError = tr("print as image failed: ") + result.describe();
        TLOG(lastError);
        QFile::remove(image);
        return false;
    }
    if (std::rename(QFile::encodeName(image).constData(), QFile::encodeName(job.jobFile).constData()) != 0) {
        lastError = tr("print as image failed: ") + QString::fromLocal8Bit(std::strerror(errno));
        TLOG(lastError);
        QFile::remove(image);
        return false;
    }
    return true;
}
