// The decisions of a probe that need no network: delivery mode from the
// formats and the brand, and the colour mode.

#include "discovery/PrinterProbe.h"

#include "DiscoveryTestSupport.h"

namespace {

using tavrin::test::rowName;

struct ModeRow {
    const char *what;
    const char *formats; // document-format-supported as dep1 prints it
    const char *brand;
    const char *mode;
    friend void PrintTo(const ModeRow &row, std::ostream *os) { *os << row.what; }
};

class DeliveryModeTest : public ::testing::TestWithParam<ModeRow>
{
};

TEST_P(DeliveryModeTest, Decide)
{
    const ModeRow &row = GetParam();
    EXPECT_EQ(util::deliveryModeFor(QString::fromUtf8(row.formats), QString::fromUtf8(row.brand)),
              QString::fromUtf8(row.mode));
}

const ModeRow kModeRows[] = {
    // Rule 1: Xerox and Fuji Xerox go direct whatever they report.
    {"Xerox without formats", "", "03", "dirpdf"},
    {"Xerox with urf only", "image/urf", "03", "dirpdf"},
    // Rule 2: these brands go direct once they read PDF.
    {"Toshiba with pdf", "application/octet-stream,application/pdf", "01", "dirpdf"},
    {"Konica Minolta with pdf", "application/pdf", "08", "dirpdf"},
    {"Sharp with PDF upper case", "APPLICATION/PDF", "09", "dirpdf"},
    {"Konica Minolta Aurora with pdf", "application/pdf,image/urf", "13", "dirpdf"},
    {"Toshiba without pdf falls to urf", "image/urf", "01", "ap_urf"},
    {"Konica Minolta without pdf falls to pwg", "image/pwg-raster", "08", "pwg"},
    // Rule 3 to 6 for every other brand.
    {"HP with PDF in other case", "application/octet-stream,APPLICATION/PDF", "05", "pdf"},
    {"unknown brand with pdf", "application/pdf", "00", "pdf"},
    {"pwg before urf", "image/pwg-raster,image/urf", "05", "pwg"},
    {"urf alone", "image/urf", "16", "ap_urf"},
    {"URF upper case is not urf", "IMAGE/URF", "05", "Unknow"},
    {"PWG upper case is not pwg", "IMAGE/PWG-RASTER", "05", "Unknow"},
    {"nothing known", "application/octet-stream,image/jpeg", "05", "Unknow"},
    {"no formats", "", "00", "Unknow"},
    {"brand code compared whole", "image/urf", "033", "ap_urf"},
    {"Pantum with pdf", "application/pdf,image/pwg-raster", "18", "pdf"},
};

INSTANTIATE_TEST_SUITE_P(Rules, DeliveryModeTest, ::testing::ValuesIn(kModeRows), rowName<ModeRow>);

TEST(ColorModeTest, ColourInAnyCase)
{
    EXPECT_EQ(util::colorModeFor(QStringLiteral("auto,monochrome,color")), QStringLiteral("Color"));
    EXPECT_EQ(util::colorModeFor(QStringLiteral("COLOR")), QStringLiteral("Color"));
    EXPECT_EQ(util::colorModeFor(QStringLiteral("auto,process-monochrome,bi-level")), QStringLiteral("Mono"));
    EXPECT_EQ(util::colorModeFor(QStringLiteral("monochrome")), QStringLiteral("Mono"));
    EXPECT_EQ(util::colorModeFor(QString()), QStringLiteral("Mono"));
}

} // namespace
