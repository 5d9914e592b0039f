#include "cloud/UpdateInfo.h"

#include "cloud/Itf.h"
#include "platform/TextUtil.h"
#include "storage/Config.h"

#include <QStringList>

QString gFatalError;
const char kForceUpdate[] = "FORCE_UPDATE";

namespace util {

UpdateInfo parseUpdateAnswer(const QString &answer, const QString &ownVersion)
{
    UpdateInfo info;
    if (!answer.startsWith(QLatin1String("OK:")))
        return info;
    const QStringList fields = answer.mid(3).split(QLatin1Char(','), Qt::KeepEmptyParts);
    if (fields.size() != 3)
        return info;
    const QString &version = fields[0];
    info.forceUpdate = iequals(fields[1], QStringLiteral("YES"));
    info.needUpdate = !version.isEmpty() && !iequals(version, ownVersion);
    info.packageName = fields[2];
    if (info.needUpdate)
        info.note = QLatin1Char('V') + version;
    return info;
}

UpdateInfo getUpdateInfo()
{
    return parseUpdateAnswer(Itf::CheckVersion(), config::clientVersion);
}

bool forcedUpdatePending()
{
    return iequals(gFatalError, QString::fromLatin1(kForceUpdate));
}

} // namespace util
