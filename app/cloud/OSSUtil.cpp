#include "cloud/OSSUtil.h"

#include "platform/Command.h"
#include "platform/Crypto.h"
#include "platform/RLog.h"
#include "storage/Config.h"

#include <QCryptographicHash>

namespace OSSUtil {

namespace {

constexpr int kToolWaitMs = 30000;

QString b64(const QString &text)
{
    return QString::fromStdString(util::b64encode(text.toUtf8().toStdString()));
}

// The argument goes to the tool as one argv entry, not through a shell: the
// client identifier comes from a file the user can edit.
void runTool(const QString &arg, const char *errorPrefix)
{
    TLOG(toolPath() + QStringLiteral(" \"") + arg + QLatin1Char('"'));
    util::CommandOptions options;
    options.timeoutMs = kToolWaitMs;
    options.mergeStderr = false;
    const util::CommandResult r = util::runCommand(toolPath(), {arg}, options);
    TLOG(QStringLiteral("res:") + r.output);
    TLOG(QString::fromLatin1(errorPrefix) + r.errorOutput);
    if (!r.ok())
        TLOG(QStringLiteral("dep3: ") + r.describe());
}

} // namespace

QString signature(const QString &clientId, const QString &localPath, const QString &objectName)
{
    const QString text = clientId + QLatin1Char('|') + localPath + QLatin1Char('|') + objectName + clientId;
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex());
}

QString argument(const QString &clientId, const QString &localPath, const QString &objectName, bool get)
{
    QString arg = clientId + QLatin1Char('|') + b64(localPath) + QLatin1Char('|') + b64(objectName) + QLatin1Char('|') +
                  signature(clientId, localPath, objectName);
    if (get)
        arg += QStringLiteral("|get");
    return arg;
}

QString toolPath()
{
    return config::binDir + QStringLiteral("dep3");
}

void GetImageFile(QString objectName, QString localPath)
{
    runTool(argument(config::clientId, localPath, objectName, true), "dep3 getimage error: ");
}

void UploadLogFile(QString clientId, QString localPath, QString objectName)
{
    runTool(argument(clientId, localPath, objectName, false), "dep3 upload log error: ");
}

} // namespace OSSUtil
