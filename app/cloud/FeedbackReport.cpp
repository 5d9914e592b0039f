#include "cloud/FeedbackReport.h"

#include "platform/Command.h"
#include "platform/RLog.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace feedback {

QString inputError(const Fields &f)
{
    if (f.description.size() > 200)
        return QStringLiteral("反馈描述超出范围，请简化您的描述");
    const bool missing = f.type == Issue ? f.description.isEmpty() || f.deviceInfo.isEmpty() : f.description.isEmpty();
    if (missing || f.emailInfo.isEmpty())
        return QStringLiteral("请输入必填信息");
    if (!f.emailInfo.contains(QLatin1Char('@')) || f.emailInfo.endsWith(QLatin1Char('@')))
        return QCoreApplication::translate("QObject", "Email address format is wrong.");
    return QString();
}

QString archiveName(const QString &clientId, const QDateTime &when)
{
    return clientId + QLatin1Char('-') + when.toString(QStringLiteral("yyyyMMdd-hh:mm:ss")) + QStringLiteral(".tar.gz");
}

Json::Value payload(const Fields &f, const QString &logFileName)
{
    Json::Value p(Json::objectValue);
    p["contactInfo"] = f.contactInfo.toStdString();
    p["description"] = f.description.toStdString();
    p["feedbackType"] = f.type == Issue ? "ISSUE" : "SUGGESTION";
    p["logFileName"] = logFileName.toStdString();
    p["deviceInfo"] = f.deviceInfo.toStdString();
    p["emailInfo"] = f.emailInfo.toStdString();
    return p;
}

bool packLogs(const QString &archivePath, const QString &logsDir)
{
    // The name is predictable and /tmp is shared: an old archive of ours goes,
    // then the file is created exclusively so tar writes into ours alone.
    const QByteArray native = QFile::encodeName(archivePath);
    ::unlink(native.constData());
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        TLOG(QStringLiteral("cannot create the log archive ") + archivePath + QStringLiteral(": ") +
             QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ::close(fd);
    // The time of day puts colons into the name; it is a local file all the same.
    const util::CommandResult r = util::runCommand(
        QStringLiteral("tar"), {QStringLiteral("--force-local"), QStringLiteral("-zcvf"), archivePath, logsDir},
        util::CommandOptions{-1, true, {}, {}});
    TLOG(QStringLiteral("tar: ") + r.describe());
    return true;
}

} // namespace feedback
