#include "storage/Config.h"

#include "platform/RLog.h"
#include "platform/TextUtil.h"
#include "storage/ProtectedFile.h"
#include "storage/Settings.h"

#include <json/value.h>

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QUuid>

namespace {

QString initialFileDir()
{
    const QByteArray relocated = qgetenv("TAVRIN_FILE_DIR");
    return relocated.isEmpty() ? QStringLiteral("/opt/apps/com.kestrelware.tavrin/files")
                               : QString::fromLocal8Bit(relocated);
}

} // namespace

namespace config {

const QString clientVersion = QStringLiteral("1.3.0.3");
const QString fileDir = initialFileDir();
const QString binDir = fileDir + QStringLiteral("/bin/");
const QString logDir = fileDir + QStringLiteral("/logs/");

QString ippTool;
QString m_ppdFile;
int is_first_run = 1;
QString _depC;
QString _depP;
QString clientId;
QString serviceCA;

const char kProductionServiceUrl[] = "https://service.kestrelware.com/tavrin/itf/";
const char kTestServiceUrl[] = "https://service-test.kestrelware.com/tavrin/itf/";

QString iniPath()
{
    return binDir + QStringLiteral("config.ini");
}

void load()
{
    ippTool = binDir + QStringLiteral("dep1");
    m_ppdFile = QStringLiteral("/usr/share/cups/model/com.kestrelware.tavrin/tavrin.ppd");

    QSettings ini(iniPath(), QSettings::IniFormat);
    if (util::iequals(ini.value(QStringLiteral("Common/Debug"), QStringLiteral("NO")).toString(), QStringLiteral("YES")))
        Itf::_itf_url = kTestServiceUrl;
    // A private service (tests, demo) names itself and its CA explicitly.
    QString serviceUrl = ini.value(QStringLiteral("Common/ServiceUrl")).toString().trimmed();
    if (!serviceUrl.isEmpty()) {
        if (!serviceUrl.endsWith(QLatin1Char('/')))
            serviceUrl += QLatin1Char('/');
        Itf::_itf_url = serviceUrl.toStdString();
    }
    serviceCA = ini.value(QStringLiteral("Common/ServiceCA")).toString().trimmed();
    is_first_run = iniValue(QStringLiteral("Common/FirstRun"), 1).toString().toInt();
    TLOG(Itf::_itf_url);

    const QString user = QString::fromUtf8(qgetenv("USER"));
    QString base = binDir + QStringLiteral("data/") + user;
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::AppDataLocation);
    if (!locations.isEmpty()) {
        // A fresh account may lack ~/.local/share as well; create the whole path.
        QDir().mkpath(locations.first());
        base = locations.first() + QLatin1Char('/') + user;
    }
    _depC = base + QStringLiteral("_depC");
    _depP = base + QStringLiteral("_depP");

    clientId = getVal(QStringLiteral("clientId"));
    if (clientId.isEmpty()) {
        clientId = newGUID();
        setVal(QStringLiteral("clientId"), clientId);
    }
    TLOG("clientId: " + clientId);
    TLOG("tavrinapp version: " + clientVersion);
}

QString getVal(const QString &key)
{
    const Json::Value settings = loadSecureJson(_depC);
    if (!settings.isObject())
        return QString();
    const Json::Value &value = settings[key.toStdString()];
    if (value.isNull() || value.isObject() || value.isArray())
        return QString();
    return QString::fromStdString(value.asString());
}

void setVal(const QString &key, const QString &value)
{
    Json::Value settings = loadSecureJson(_depC);
    if (!settings.isObject())
        settings = Json::Value(Json::objectValue);
    settings[key.toStdString()] = value.toStdString();
    saveSecureJson(settings, _depC);
}

QString newGUID()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace config

namespace Itf {
std::string _itf_url = config::kProductionServiceUrl;
} // namespace Itf
