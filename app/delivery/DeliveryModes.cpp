#include "delivery/DeliveryModes.h"

#include "storage/Printer.h"

namespace delivery {

const ModeEntry *modeEntry(const QString &mode)
{
    static const ModeEntry kModes[] = {
        {DeliveryMode::kPdf,
         Route::IppPdf,
         {QStringLiteral("sending job to print."), QStringLiteral("docType: pdf")},
         {}},
        {DeliveryMode::kDirPdf,
         Route::DirectOrIpp,
         {QStringLiteral("sending job to print."), QStringLiteral("docType: dirpdf")},
         {}},
        {DeliveryMode::kPwg, Route::PwgRaster, {QStringLiteral("using pwg")}, {}},
        {DeliveryMode::kApUrf, Route::ApUrf, {}, {QStringLiteral("using ap urf format.")}},
        {DeliveryMode::kGsUrf, Route::GsUrf, {}, {QStringLiteral("using gs urf format.")}},
    };
    for (const ModeEntry &entry : kModes) {
        if (mode == QLatin1String(entry.key))
            return &entry;
    }
    return nullptr;
}

} // namespace delivery
