#include "discovery/PrinterProbe.h"

#include "discovery/IppProbe.h"
#include "discovery/NetworkText.h"
#include "discovery/SnmpIdentity.h"
#include "platform/RLog.h"
#include "storage/Config.h"

namespace util {

QString deliveryModeFor(const QString &documentFormats, const QString &brandCode)
{
    const bool pdf = documentFormats.contains(QLatin1String("application/pdf"), Qt::CaseInsensitive);
    if (brandCode == QLatin1String("03"))
        return QString::fromLatin1(DeliveryMode::kDirPdf);
    // These makers take a PJL-wrapped PDF on the raw port once they read PDF at all.
    const bool directBrand = brandCode == QLatin1String("01") || brandCode == QLatin1String("08") ||
                             brandCode == QLatin1String("09") || brandCode == QLatin1String("13");
    if (directBrand && pdf)
        return QString::fromLatin1(DeliveryMode::kDirPdf);
    if (pdf)
        return QString::fromLatin1(DeliveryMode::kPdf);
    if (documentFormats.contains(QLatin1String("image/pwg-raster")))
        return QString::fromLatin1(DeliveryMode::kPwg);
    if (documentFormats.contains(QLatin1String("image/urf")))
        return QString::fromLatin1(DeliveryMode::kApUrf);
    return QString::fromLatin1(DeliveryMode::kUnknown);
}

QString colorModeFor(const QString &printColorModeSupported)
{
    return printColorModeSupported.contains(QLatin1String("color"), Qt::CaseInsensitive) ? QStringLiteral("Color")
                                                                                         : QStringLiteral("Mono");
}

Printer getPrinterInfoByIP(QString ip)
{
    const DepPrinterAttrs attrs = depGetAttr(ip);

    Printer p;
    p.clientId = config::clientId;
    p.deviceName = cleanNetworkText(attrs.printerName);
    p.colorMode = colorModeFor(attrs.printColorModeSupported);
    p.deviceIpAddress = ip;
    p.deviceId = config::newGUID();
    SnmpAgent agent(ip);
    p.deviceModel = snnpGetModelName(agent);
    p.mediaSourceSupported = cleanNetworkText(attrs.mediaSourceSupported);
    p.documentFormatSupported = cleanNetworkText(attrs.documentFormatSupported);

    bool lexmarkMark = false;
    p.deviceBrandCode = snmpGetBrandCode(agent, lexmarkMark);
    TLOG(QStringLiteral("device brand code: ") + p.deviceBrandCode);
    p.deviceSerialNumber = snmpGetSerialNo(p.deviceBrandCode, agent, lexmarkMark);
    TLOG(QStringLiteral("device serial number: ") + p.deviceSerialNumber);

    if (p.deviceModel.isEmpty())
        p.deviceModel = cleanNetworkText(attrs.printerMakeAndModel);
    p.deviceDocType = deliveryModeFor(p.documentFormatSupported, p.deviceBrandCode);
    p.m_ipp_version = attrs.ippVersion;
    return p;
}

} // namespace util
