#pragma once
// One registered network printer. A plain value: copies travel between the
// workers and the windows in queued signals under the meta-type "Printer".

#include <json/value.h>

#include <QMetaType>
#include <QString>
#include <QStringList>

class Printer
{
public:
    QString deviceId;   // UUID made when the printer was probed
    QString clientId;   // the installation's client identifier at that time
    QString deviceName; // unique among the stored printers
    QString deviceIpAddress;
    QString deviceBrandCode;
    QString deviceModel;
    QString deviceSerialNumber;
    QString colorMode; // "Color" or "Mono"
    QString mediaSourceSupported;
    QString documentFormatSupported;
    QString deviceDocType;      // a delivery-mode key, see DeliveryMode below
    QString isFav;              // "Y" when a favourite
    qint64 m_modified_time = 0; // ms since the epoch when last made a favourite
    QString m_ipp_version;      // e.g. "VERSION 2.0"

    // All fourteen members; m_modified_time as an integer, the rest as strings.
    Json::Value toJson() const;

    // Missing string members give empty fields; m_modified_time and
    // m_ipp_version keep their previous values unless present and not null.
    // Logs the result (print_log).
    void fromJson(Json::Value json);

    void print_log() const;

    // Registers the meta-type "Printer"; called once at start-up before any
    // worker can emit a Printer. Safe to call again.
    static void registerMetaType();
};

Q_DECLARE_METATYPE(Printer)

// The delivery modes: the one table of keys, labels and list positions.
// Keys are compared exactly; anything else counts as unknown.
namespace DeliveryMode {

extern const char kDirPdf[];  // "dirpdf"
extern const char kPdf[];     // "pdf"
extern const char kPwg[];     // "pwg"
extern const char kApUrf[];   // "ap_urf"
extern const char kGsUrf[];   // "gs_urf"
extern const char kUnknown[]; // "Unknow", as stored

constexpr int kUnknownPosition = 5;

// The label shown for a key; "暂不持支持" for any value that is not one of the five keys.
QString label(const QString &key);
// The six labels in list order, the unknown one last.
QStringList labels();
// The list position of a key, kUnknownPosition for any other value.
int position(const QString &key);
// The key at a list position; "Unknow" for any position outside 0..4.
QString keyAt(int position);

} // namespace DeliveryMode
