// The raster paths against simulated printers: one conversion, one
// submission per copy, Pantum's turned even pages, URF by Ghostscript and by
// dep4 with a PPD built from the printer's own attributes.

#include "DeliveryPeerSupport.h"
#include "PwgRaster.h"

#include <QTemporaryDir>

using namespace deliverytest;

namespace {

class Raster : public DeliveryPeer
{
protected:
    // The PPD builder and dep4 write their temporary files below TMPDIR; a
    // directory of the test's own shows that nothing is left behind.
    void SetUp() override
    {
        DeliveryPeer::SetUp();
        ASSERT_TRUE(tmp.isValid());
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    }
    void TearDown() override { qunsetenv("TMPDIR"); }

    QStringList tmpLeftovers() const
    {
        return QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    QString topBandPdf(int pages)
    {
        const QString doc = newDocPath();
        EXPECT_TRUE(makeTopBandPdf(doc, pages));
        return doc;
    }

    AppLog log; // before TMPDIR changes: its directory is not the test's business
    QTemporaryDir tmp{QDir::tempPath() + QStringLiteral("/tavrin-raster-XXXXXX")};
};

TEST_F(Raster, PwgCopiesAreOneConversionSentOncePerCopy)
{
    ASSERT_TRUE(fleet.clear("hp"));
    const int counted = usage("Model hp");
    JobAction a = action("hp", "pwg", topBandPdf(2), "05");
    a.job.copy = "3";
    a.job.duplex = "two-sided-long-edge";
    a.job.color = "color";
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();

    const QJsonArray jobs = fleet.jobs("hp", "ipp", 3);
    ASSERT_EQ(jobs.size(), 3);
    for (const QJsonValue &job : jobs) {
        EXPECT_EQ(field(job, "format"), "image/pwg-raster");
        EXPECT_EQ(attr(job, "copies"), "1");
        EXPECT_EQ(field(job, "sha256"), field(jobs[0], "sha256")) << "the same raster each time";
    }
    const QVector<RasterPage> pages = readPwgRaster(readBytes(field(jobs[0], "document")));
    ASSERT_EQ(pages.size(), 2);
    for (const RasterPage &page : pages) {
        EXPECT_EQ(page.duplex, 1u);
        EXPECT_EQ(page.tumble, 0u);
        EXPECT_EQ(page.colorSpace, 19u);
        EXPECT_EQ(page.width, 4958u); // 595 points at 600 dpi
        EXPECT_GT(page.inkTop, 0);
        EXPECT_EQ(page.inkBottom, 0) << "not turned";
    }
    EXPECT_EQ(log.count("using pwg"), 1);
    EXPECT_EQ(log.count("printer idle"), 1 + 3) << "one wait before the job and one before each copy";
    EXPECT_EQ(usage("Model hp"), counted + 1) << "one job, counted once";
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(Raster, PantumLongEdgeTurnsTheEvenPages)
{
    ASSERT_TRUE(fleet.clear("pantum"));
    const QString doc = topBandPdf(3);
    JobAction a = action("pantum", "pwg", doc, "18");
    a.job.duplex = "two-sided-long-edge";
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();

    const QJsonArray jobs = fleet.jobs("pantum", "ipp", 1);
    ASSERT_EQ(jobs.size(), 1);
    const QVector<RasterPage> pages = readPwgRaster(readBytes(field(jobs[0], "document")));
    ASSERT_EQ(pages.size(), 3);
    for (int i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].duplex, 1u);
        EXPECT_EQ(pages[i].tumble, 1u) << "long edge printed as short edge";
        EXPECT_EQ(pages[i].colorSpace, 18u);
        const bool turned = i % 2 == 1;
        EXPECT_EQ(pages[i].inkTop > 0, !turned) << "page " << i + 1;
        EXPECT_EQ(pages[i].inkBottom > 0, turned) << "page " << i + 1;
    }
    for (const QString &arg : {QStringLiteral("qpdf"), doc, doc + ".rotate", QStringLiteral("--rotate=180:1-z:even")})
        EXPECT_EQ(log.count(arg.toStdString()), 1) << arg.toStdString();
    EXPECT_EQ(leftovers(), QStringList()) << "no rotated copy or its raster left";
}

TEST_F(Raster, PantumOneSidedIsNeitherTurnedNorDuplexed)
{
    ASSERT_TRUE(fleet.clear("pantum"));
    JobAction a = action("pantum", "pwg", topBandPdf(2), "18");
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();
    const QJsonArray jobs = fleet.jobs("pantum", "ipp", 1);
    ASSERT_EQ(jobs.size(), 1);
    const QVector<RasterPage> pages = readPwgRaster(readBytes(field(jobs[0], "document")));
    ASSERT_EQ(pages.size(), 2);
    for (const RasterPage &page : pages) {
        EXPECT_EQ(page.duplex, 0u);
        EXPECT_EQ(page.inkBottom, 0);
    }
}

TEST_F(Raster, GsUrfSendsUrf)
{
    ASSERT_TRUE(fleet.clear("urf"));
    JobAction a = action("urf", "gs_urf", spoolPdf(2));
    a.job.copy = "2";
    a.job.duplex = "two-sided-short-edge";
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();
    const QJsonArray jobs = fleet.jobs("urf", "ipp", 2);
    ASSERT_EQ(jobs.size(), 2);
    for (const QJsonValue &job : jobs) {
        EXPECT_EQ(field(job, "format"), "image/urf");
        EXPECT_EQ(attr(job, "copies"), "1");
        EXPECT_TRUE(readBytes(field(job, "document")).startsWith("UNIRAST")) << "Apple raster, not CUPS raster";
    }
    EXPECT_EQ(log.count("using gs urf format."), 1);
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(Raster, ApUrfConvertsWithThePrintersOwnPpd)
{
    ASSERT_TRUE(fleet.clear("urf"));
    JobAction a = action("urf", "ap_urf", spoolPdf(2));
    a.job.color = "color";
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();
    const QJsonArray jobs = fleet.jobs("urf", "ipp", 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(field(jobs[0], "format"), "image/urf");
    EXPECT_TRUE(readBytes(field(jobs[0], "document")).startsWith("UNIRAST"));
    EXPECT_EQ(log.count("using URF(ipp):ipp://" + fleet.ip("urf").toStdString()), 1);
    EXPECT_EQ(log.count("using ap urf format."), 1);
    EXPECT_EQ(tmpLeftovers(), QStringList()) << "the PPD is deleted";
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(Raster, ConversionFailures)
{
    const struct {
        const char *printer;
        const char *mode;
        bool failingDep4;
        QString error;
    } rows[] = {
        // Ghostscript exits with 0 on a PDF it cannot read, but writes nothing.
        {"hp", "pwg", false, QStringLiteral("cvt to pwg failed.")},
        {"urf", "gs_urf", false, QStringLiteral("gs cvt urf failed")},
        // cupsfilter's own filters leave a file in /tmp when they fail, so a
        // dep4 that fails stands in for it here.
        {"urf", "ap_urf", true, QStringLiteral("cvt urf failed, using downloaded ppd.")},
        // The printer answers only IPP 1.0: no attributes, no PPD.
        {"old", "ap_urf", false, QStringLiteral("URF get ppd failed: ipp://") + fleet.ip("old")},
    };
    for (const auto &row : rows) {
        if (row.failingDep4) {
            ASSERT_TRUE(QFile::remove(config::binDir + "dep4"));
            ASSERT_TRUE(writeBytes(config::binDir + "dep4", "#!/bin/sh\necho 'dep4: cannot convert' >&2\nexit 1\n"));
            ASSERT_TRUE(QFile::setPermissions(config::binDir + "dep4", QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        ASSERT_TRUE(fleet.clear(QString::fromLatin1(row.printer)));
        const int counted = usage(QStringLiteral("Model ") + row.printer);
        const QString doc = newDocPath();
        ASSERT_TRUE(writeBytes(doc, "%PDF-1.4\n%%EOF garbage that no converter can read\n"));
        JobAction a = action(QString::fromLatin1(row.printer), QString::fromLatin1(row.mode), doc);
        EXPECT_FALSE(a.print()) << row.mode;
        EXPECT_EQ(a.lastError, row.error) << row.mode;
        EXPECT_EQ(fleet.jobs(QString::fromLatin1(row.printer), "ipp").size(), 0) << row.mode;
        EXPECT_EQ(usage(QStringLiteral("Model ") + row.printer), counted) << row.mode;
        EXPECT_EQ(leftovers(), QStringList()) << row.mode;
        EXPECT_EQ(tmpLeftovers(), QStringList()) << row.mode;
    }
}

} // namespace
