#include "storage/Printer.h"

#include "platform/RLog.h"

#include <cmath>
#include <limits>

namespace {

// Text of a member; a damaged entry with an object or array where text belongs
// reads as empty instead of throwing out of the JSON library.
QString memberText(const Json::Value &json, const char *key)
{
    if (!json.isObject())
        return QString();
    const Json::Value &value = json[key];
    if (value.isNull() || value.isArray() || value.isObject())
        return QString();
    return QString::fromStdString(value.asString());
}

bool present(const Json::Value &json, const char *key)
{
    return json.isObject() && json.isMember(key) && !json[key].isNull();
}

// The member as a 64-bit integer, or false when it holds no number that fits.
bool memberInt64(const Json::Value &value, qint64 &out)
{
    if (value.isInt64()) {
        out = value.asInt64();
        return true;
    }
    if (value.isDouble()) {
        const double d = value.asDouble();
        if (std::isfinite(d) && d >= -9.2e18 && d <= 9.2e18) {
            out = static_cast<qint64>(d);
            return true;
        }
    }
    return false;
}

} // namespace

Json::Value Printer::toJson() const
{
    Json::Value json(Json::objectValue);
    json["deviceId"] = deviceId.toStdString();
    json["clientId"] = clientId.toStdString();
    json["deviceName"] = deviceName.toStdString();
    json["deviceIpAddress"] = deviceIpAddress.toStdString();
    json["deviceBrandCode"] = deviceBrandCode.toStdString();
    json["deviceModel"] = deviceModel.toStdString();
    json["deviceSerialNumber"] = deviceSerialNumber.toStdString();
    json["colorMode"] = colorMode.toStdString();
    json["mediaSourceSupported"] = mediaSourceSupported.toStdString();
    json["documentFormatSupported"] = documentFormatSupported.toStdString();
    json["deviceDocType"] = deviceDocType.toStdString();
    json["isFav"] = isFav.toStdString();
    json["m_modified_time"] = Json::Int64(m_modified_time);
    json["m_ipp_version"] = m_ipp_version.toStdString();
    return json;
}

void Printer::fromJson(Json::Value json)
{
    deviceName = memberText(json, "deviceName");
    deviceIpAddress = memberText(json, "deviceIpAddress");
    clientId = memberText(json, "clientId");
    colorMode = memberText(json, "colorMode");
    deviceBrandCode = memberText(json, "deviceBrandCode");
    deviceId = memberText(json, "deviceId");
    deviceModel = memberText(json, "deviceModel");
    mediaSourceSupported = memberText(json, "mediaSourceSupported");
    documentFormatSupported = memberText(json, "documentFormatSupported");
    deviceSerialNumber = memberText(json, "deviceSerialNumber");
    deviceDocType = memberText(json, "deviceDocType");
    isFav = memberText(json, "isFav");
    // Older entries lack these two; the record then keeps what it had.
    if (present(json, "m_modified_time")) {
        qint64 value = 0;
        if (memberInt64(json["m_modified_time"], value))
            m_modified_time = value;
    }
    if (present(json, "m_ipp_version"))
        m_ipp_version = memberText(json, "m_ipp_version");
    print_log();
}

void Printer::print_log() const
{
    TLOG("deviceName: " + deviceName + ", deviceIpAddress: " + deviceIpAddress + ", clientId: " + clientId +
         ", colorMode: " + colorMode + ", deviceBrandCode: " + deviceBrandCode + ", deviceId: " + deviceId +
         ", deviceModel: " + deviceModel + ", mediaSourceSupported: " + mediaSourceSupported +
         ", documentFormatSupported: " + documentFormatSupported + ", deviceSerialNumber: " + deviceSerialNumber +
         ", deviceDocType: " + deviceDocType + ", isFav: " + isFav +
         ", m_modified_time: " + QString::number(m_modified_time) + ", m_ipp_version: " + m_ipp_version);
}

void Printer::registerMetaType()
{
    qRegisterMetaType<Printer>("Printer");
}

namespace DeliveryMode {

const char kDirPdf[] = "dirpdf";
const char kPdf[] = "pdf";
const char kPwg[] = "pwg";
const char kApUrf[] = "ap_urf";
const char kGsUrf[] = "gs_urf";
const char kUnknown[] = "Unknow";

namespace {

struct Mode {
    const char *key;
    const char *label;
};

// List order is the order of the properties dialog's mode list.
const Mode kModes[] = {
    {kDirPdf, "直送模式"}, {kPdf, "普通模式"}, {kPwg, "兼容模式一"}, {kApUrf, "兼容模式二"}, {kGsUrf, "兼容模式三"},
};
const char kUnknownLabel[] = "暂不持支持";
static_assert(sizeof kModes / sizeof kModes[0] == kUnknownPosition, "the unknown entry comes after the five keys");

} // namespace

int position(const QString &key)
{
    for (int i = 0; i < kUnknownPosition; ++i)
        if (key == QLatin1String(kModes[i].key))
            return i;
    return kUnknownPosition;
}

QString label(const QString &key)
{
    const int pos = position(key);
    return QString::fromUtf8(pos == kUnknownPosition ? kUnknownLabel : kModes[pos].label);
}

QStringList labels()
{
    QStringList out;
    for (const Mode &mode : kModes)
        out << QString::fromUtf8(mode.label);
    out << QString::fromUtf8(kUnknownLabel);
    return out;
}

QString keyAt(int position)
{
    if (position < 0 || position >= kUnknownPosition)
        return QString::fromLatin1(kUnknown);
    return QString::fromLatin1(kModes[position].key);
}

} // namespace DeliveryMode
