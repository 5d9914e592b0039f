// Converter argument lists: the Ghostscript raster template, the duplex
// tables, the print-as-image rendering and the dep4 shell line.

#include "DeliverySupport.h"

#include "delivery/RasterArgs.h"

using namespace deliverytest;
using delivery::RasterFormat;

namespace {

TEST(RasterArgs, PwgDuplexTable)
{
    const QStringList none;
    const QStringList shortEdge = {"-dDuplex=true", "-dTumble=true"};
    const QStringList longEdge = {"-dDuplex=true", "-dTumble=false"};
    const QStringList simplex = {"-dDuplex=false", "-dTumble=false"};
    const struct {
        bool pantum;
        const char *duplex;
        QStringList args;
        bool rotate;
    } rows[] = {
        {false, "two-sided-short-edge", shortEdge, false},
        {false, "two-sided-long-edge", longEdge, false},
        {false, "one-sided", simplex, false},
        {false, "", simplex, false},
        {true, "two-sided-short-edge", shortEdge, false},
        // Pantum binds long edge by printing short edge on turned even pages.
        {true, "two-sided-long-edge", shortEdge, true},
        {true, "one-sided", none, false},
        {true, "TWO-SIDED-LONG-EDGE", none, false}, // keywords are exact
    };
    for (const auto &row : rows) {
        const auto plan = delivery::pwgDuplex(row.pantum, QString::fromLatin1(row.duplex));
        EXPECT_EQ(plan.args, row.args) << row.pantum << " " << row.duplex;
        EXPECT_EQ(plan.rotateEvenPages, row.rotate) << row.pantum << " " << row.duplex;
    }
}

TEST(RasterArgs, GsUrfDuplex)
{
    EXPECT_EQ(delivery::gsUrfDuplex("one-sided"), QStringList());
    EXPECT_EQ(delivery::gsUrfDuplex("two-sided-long-edge"), QStringList{"-dDuplex"});
    EXPECT_EQ(delivery::gsUrfDuplex("two-sided-short-edge"), QStringList{"-dDuplex"});
    EXPECT_EQ(delivery::gsUrfDuplex(""), QStringList{"-dDuplex"});
}

TEST(RasterArgs, PwgTemplate)
{
    const QStringList args = delivery::gsRasterArgs(RasterFormat::PwgRaster, "/spool/u/1.tmp",
                                                    {"-dDuplex=true", "-dTumble=false"}, "A4", "color");
    const QStringList expected = {"-dQUIET",
                                  "-dPARANOIDSAFER",
                                  "-dNOPAUSE",
                                  "-dBATCH",
                                  "-dNOINTERPOLATE",
                                  "-dNOMEDIAATTRS",
                                  "-dShowAcroForm",
                                  "-sstdout=%stderr",
                                  "-sDEVICE=cups",
                                  "-sMediaClass=PwgRaster",
                                  "-r600x600",
                                  "-dDEVICEWIDTHPOINTS=595",
                                  "-dDEVICEHEIGHTPOINTS=841",
                                  "-dcupsBitsPerColor=8",
                                  "-dcupsColorOrder=0",
                                  "-dcupsColorSpace=19",
                                  "-dcupsBorderlessScalingFactor=0.0000",
                                  "-dcupsInteger1=1",
                                  "-dcupsInteger2=1",
                                  "-scupsPageSizeName=A4",
                                  "-I/usr/share/cups/fonts",
                                  "-dDuplex=true",
                                  "-dTumble=false",
                                  "-sOutputFile=/spool/u/1.tmp.dest",
                                  "/spool/u/1.tmp"};
    EXPECT_EQ(args, expected);
}

TEST(RasterArgs, UrfTemplateUsesTheUrfDevice)
{
    const QStringList args = delivery::gsRasterArgs(RasterFormat::Urf, "/s/2.tmp", {"-dDuplex"}, "", "monochrome");
    EXPECT_TRUE(args.contains("-sDEVICE=urf"));
    EXPECT_FALSE(args.contains("-sDEVICE=cups"));
    EXPECT_FALSE(args.contains("-sMediaClass=PwgRaster"));
    EXPECT_TRUE(args.contains("-dcupsColorSpace=18"));
    EXPECT_TRUE(args.contains("-scupsPageSizeName=")); // an empty size stays an empty value
    EXPECT_EQ(args.mid(args.size() - 3), QStringList({"-dDuplex", "-sOutputFile=/s/2.tmp.dest", "/s/2.tmp"}));
}

TEST(RasterArgs, ColourSpaceOnlyForExactColor)
{
    for (const char *color : {"monochrome", "Color", "COLOR", ""})
        EXPECT_TRUE(delivery::gsRasterArgs(RasterFormat::PwgRaster, "/a", {}, "A4", QString::fromLatin1(color))
                        .contains("-dcupsColorSpace=18"))
            << color;
}

TEST(RasterArgs, PercentInAPathIsNotAPageNumber)
{
    const QStringList args = delivery::gsRasterArgs(RasterFormat::PwgRaster, "/s/100%d.tmp", {}, "A4", "color");
    EXPECT_TRUE(args.contains("-sOutputFile=/s/100%%d.tmp.dest"));
    EXPECT_EQ(args.last(), "/s/100%d.tmp");
}

TEST(RasterArgs, ImagePdfByColour)
{
    EXPECT_EQ(delivery::imagePdfArgs("/s/a.tmp", "/s/a.tmp.dest", "color"),
              QStringList({"-dQUIET", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-sstdout=%stderr", "-sDEVICE=pdfimage24",
                           "-r300", "-sOutputFile=/s/a.tmp.dest", "/s/a.tmp"}));
    EXPECT_TRUE(delivery::imagePdfArgs("/s/a", "/s/b", "monochrome").contains("-sDEVICE=pdfimage8"));
}

TEST(RasterArgs, Dep4LineQuotesEveryPath)
{
    EXPECT_EQ(delivery::dep4CommandLine("/opt/x/bin/dep4", "/tmp/ppd1", "/spool/u/1.tmp"),
              "'/opt/x/bin/dep4' -i application/pdf -m image/urf -p '/tmp/ppd1' '/spool/u/1.tmp' > "
              "'/spool/u/1.tmp.dest'");

    // Through a real shell, hostile paths arrive as single words.
    QTemporaryDir dir;
    const QString tool = dir.filePath("dep4");
    ASSERT_TRUE(writeBytes(tool, "#!/bin/sh\nfor a; do printf '[%s]' \"$a\"; done\n"));
    ASSERT_TRUE(QFile::setPermissions(tool, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString input = dir.filePath("it's $(id) a;b.tmp");
    const auto r = util::runShell(delivery::dep4CommandLine(tool, "/tmp/p p.ppd", input));
    EXPECT_TRUE(r.ok()) << r.output.toStdString();
    QFile out(input + ".dest");
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(out.readAll()),
              "[-i][application/pdf][-m][image/urf][-p][/tmp/p p.ppd][" + input + "]");
}

TEST(RasterArgs, CommandTextForTheLog)
{
    EXPECT_EQ(delivery::commandText("gs", {"-q", "a b"}), "gs -q a b");
}

} // namespace
