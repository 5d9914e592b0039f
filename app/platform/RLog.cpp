#include "platform/RLog.h"

#include "platform/Crypto.h"
#include "platform/EncConst.h"

#include <QDir>

namespace util {

std::string rlogRet(const std::string &text)
{
    return des_encrypt_str(text, EncConst::LOCAL_KEY);
}

bool initAppLog(const QString &logDir)
{
    QDir().mkdir(logDir);
    tavrin::log::Settings settings;
    settings.path = QDir(logDir).filePath(QStringLiteral("app.log")).toStdString();
    settings.threshold = spdlog::level::info;
    settings.maxFileBytes = 5000000;
    settings.maxFiles = 10;
    return tavrin::log::init(settings);
}

} // namespace util
