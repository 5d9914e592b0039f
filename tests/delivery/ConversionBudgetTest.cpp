// The converters' time budget, and page counting on real PDFs.

#include "DeliverySupport.h"

#include "delivery/ConversionBudget.h"

using namespace deliverytest;

namespace {

TEST(ConversionBudget, GrowsWithPagesOrSize)
{
    const qint64 MiB = 1 << 20;
    const struct {
        int pages;
        qint64 bytes;
        int ms;
    } rows[] = {
        {0, 0, 30000},          // unreadable and empty: the fixed part
        {1, 2000, 35000},       // one page
        {100, 3 * MiB, 530000}, // a long document is not cut off at 30 s
        {0, 10 * MiB, 80000},   // pages unknown: counted by size
        {2, 50 * MiB, 280000},  // few pages, many bytes (images): the size counts
        {1000000, 0, 3600000},  // capped at one hour
        {-1, -1, 30000},
    };
    for (const auto &row : rows)
        EXPECT_EQ(delivery::conversionBudgetMs(row.pages, row.bytes), row.ms) << row.pages << " " << row.bytes;
}

TEST(ConversionBudget, CountsPagesOfARealPdf)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("seven.pdf");
    ASSERT_TRUE(makePdf(pdf, 7));
    EXPECT_EQ(delivery::pdfPageCount(pdf), 7);
    EXPECT_EQ(delivery::conversionBudgetMs(pdf), 30000 + 7 * 5000);

    const QString junk = dir.filePath("junk.pdf");
    ASSERT_TRUE(writeBytes(junk, "not a pdf at all"));
    EXPECT_EQ(delivery::pdfPageCount(junk), 0);
    EXPECT_EQ(delivery::pdfPageCount(dir.filePath("missing.pdf")), 0);
}

} // namespace
