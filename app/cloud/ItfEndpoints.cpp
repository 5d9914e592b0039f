#include "cloud/Itf.h"

#include "platform/Crypto.h"
#include "platform/RLog.h"

#include <json/reader.h>

#include <memory>

namespace Itf {

namespace {

constexpr int kConnectTimeoutSeconds = 30;

// Every endpoint: POST the sealed text, log and return the reply, or the
// transport error in its place.
QString call(const char *path, const std::string &body)
{
    std::string out;
    std::string err;
    if (Req(_itf_url + path, body, out, err, kConnectTimeoutSeconds)) {
        TLOG("out:" + out);
    } else {
        out = err;
        TLOG("err:" + err);
    }
    return QString::fromStdString(out);
}

Json::Value clientIdPayload()
{
    Json::Value payload(Json::objectValue);
    payload["clientId"] = config::clientId.toStdString();
    return payload;
}

} // namespace

QString AddDevice(Printer printer)
{
    return call("license/addDevice", _envelope(printer.toJson()));
}

QString RemoveDevice(std::string deviceId)
{
    Json::Value payload(Json::objectValue);
    payload["deviceId"] = deviceId;
    return call("license/removeDevice", _envelope(payload));
}

QString UploadStatisticsDeviceModel(QString deviceId, QString deviceModel)
{
    Json::Value payload(Json::objectValue);
    payload["deviceModel"] = deviceModel.toStdString();
    payload["deviceId"] = deviceId.toStdString();
    return call("license/uploadStatisticsDeviceModel", _envelope(payload));
}

QString Feedback(std::string payload)
{
    return call("license/feedback", _encryptPub(util::b64encode(payload)));
}

Json::Value Advertisement()
{
    const std::string answer = call("license/advertisement", _envelope(clientIdPayload())).toStdString();
    Json::Value result;
    if (answer.compare(0, 3, "OK:") != 0)
        return result;
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    if (!reader->parse(answer.data() + 3, answer.data() + answer.size(), &result, &errors))
        return Json::Value();
    return result;
}

QString CheckVersion()
{
    return call("license/checkVersion", _envelope(clientIdPayload()));
}

} // namespace Itf
