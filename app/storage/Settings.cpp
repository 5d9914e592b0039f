#include "storage/Settings.h"

#include "storage/Config.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace config {

QString userIniPath()
{
    const QString user = QString::fromUtf8(qgetenv("USER"));
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::AppDataLocation);
    const QString dir = locations.isEmpty() ? QDir::homePath() : locations.first();
    return dir + QLatin1Char('/') + user + QStringLiteral("_config.ini");
}

QVariant iniValue(const QString &key, const QVariant &defaultValue)
{
    const QString own = userIniPath();
    if (QFileInfo::exists(own)) {
        QSettings user(own, QSettings::IniFormat);
        if (user.contains(key))
            return user.value(key, defaultValue);
    }
    QSettings shared(iniPath(), QSettings::IniFormat);
    return shared.value(key, defaultValue);
}

bool setIniValue(const QString &key, const QVariant &value)
{
    // QSettings writes a temporary file and a lock file beside the target.
    const bool shared = QFileInfo(binDir).isWritable();
    const QString path = shared ? iniPath() : userIniPath();
    if (!shared)
        QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings ini(path, QSettings::IniFormat);
    ini.setValue(key, value);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

} // namespace config
