// The mode table: which key takes which path, and what is logged around it.

#include "DeliverySupport.h"

#include "delivery/DeliveryModes.h"

#include <gtest/gtest.h>

using delivery::Route;

namespace {

TEST(DeliveryModes, FiveKeysExactly)
{
    const struct {
        const char *key;
        Route route;
        QStringList before;
        QStringList after;
    } rows[] = {
        {"pdf", Route::IppPdf, {"sending job to print.", "docType: pdf"}, {}},
        {"dirpdf", Route::DirectOrIpp, {"sending job to print.", "docType: dirpdf"}, {}},
        {"pwg", Route::PwgRaster, {"using pwg"}, {}},
        {"ap_urf", Route::ApUrf, {}, {"using ap urf format."}},
        {"gs_urf", Route::GsUrf, {}, {"using gs urf format."}},
    };
    for (const auto &row : rows) {
        const auto *entry = delivery::modeEntry(QString::fromLatin1(row.key));
        ASSERT_NE(entry, nullptr) << row.key;
        EXPECT_EQ(entry->route, row.route) << row.key;
        EXPECT_EQ(entry->logBefore, row.before) << row.key;
        EXPECT_EQ(entry->logAfter, row.after) << row.key;
    }
}

TEST(DeliveryModes, AnythingElseHasNoRoute)
{
    for (const char *key : {"Unknow", "", "DIRPDF", "Pdf", "pdf ", "urf", "pwg-raster"})
        EXPECT_EQ(delivery::modeEntry(QString::fromLatin1(key)), nullptr) << key;
}

} // namespace
