#include "cloud/UsageStats.h"

#include "cloud/Itf.h"
#include "platform/RLog.h"
#include "storage/Config.h"
#include "storage/Settings.h"


#include <mutex>

namespace util {

namespace {

constexpr int kReportAt = 20;

// Job workers that finish together would both read the same count and one
// increment would be lost (or the model reported twice): one at a time.
std::mutex g_usageMutex;

} // namespace

void printOKCount(const QString &deviceId, const QString &deviceModel)
{
    std::lock_guard<std::mutex> lock(g_usageMutex);
    const QString key = QStringLiteral("ModelUsage/") + deviceModel;
    const int count = config::iniValue(key, 0).toInt();
    if (count > kReportAt)
        return;
    if (count == kReportAt) {
        const QString reply = Itf::UploadStatisticsDeviceModel(deviceId, deviceModel);
        TLOG(QStringLiteral("upload statistics res:%1, for:%2").arg(reply, deviceModel));
        if (!reply.startsWith(QLatin1String("OK")))
            return;
    }
    if (!config::setIniValue(key, count + 1))
        TLOG(QStringLiteral("cannot store the usage count of ") + deviceModel);
}

} // namespace util
