// The control file of a spooled job and its option block, turned into a Job.

#include "IntakeSupport.h"

#include "backend/SpoolFormat.h"
#include "intake/ControlParser.h"

#include <QVariant>

#include <functional>

using namespace intaketest;

namespace {

struct SpooledJob {
    QString doc;
    QString ctrl;
};

// A job as the capture backend leaves it: the document and its control file.
SpooledJob spool(const QTemporaryDir &dir, const std::string &title, const std::string &copies,
                 const std::string &options, const QByteArray &document)
{
    SpooledJob job;
    job.doc = dir.filePath(QStringLiteral("3f2b6c1e-0d4a-4b8e-9c51-7a6e2f1d0b93.tmp"));
    job.ctrl = job.doc + ".ctrl";
    spool::ControlFields f;
    f.jobFile = job.doc.toStdString();
    f.user = "alice";
    f.title = title;
    f.copies = copies;
    f.deviceUri = "tavrin://printer";
    f.jobId = "3f2b6c1e-0d4a-4b8e-9c51-7a6e2f1d0b93";
    f.options = options;
    writeBytes(job.doc, document);
    writeBytes(job.ctrl, QByteArray::fromStdString(spool::controlText(f)));
    return job;
}

struct ParseCase {
    const char *name;
    std::string title;
    std::string options;            // the OPTION= line
    std::vector<std::string> block; // option block lines
    bool hasBlock;                  // false: an ordinary PDF without a block
    std::function<void(Job &)> expect;
};

void PrintTo(const ParseCase &c, std::ostream *os)
{
    *os << c.name;
}

// What a parse gives when neither the title nor the options say more: the
// block's empty colour mode means colour, and no PageSize means no size.
Job parsedBase()
{
    Job job;
    job.name = QStringLiteral("Report");
    job.color = QStringLiteral("color");
    job.size = QString();
    return job;
}

ParseCase row(const char *name, std::string options, std::vector<std::string> block, std::function<void(Job &)> expect)
{
    return {name, "Report", std::move(options), std::move(block), true, std::move(expect)};
}

std::vector<ParseCase> parseCases()
{
    const auto none = [](Job &) {};
    return {
        // Title and copies.
        {"TitleBlanksBecomeUnderscores", "My Report 2.pdf", "", {}, true, [](Job &j) { j.name = "My_Report_2.pdf"; }},
        {"TitleUtf8AndColonKept",
         "季度 报告 Q3:results",
         "",
         {},
         true,
         [](Job &j) { j.name = QString::fromUtf8("季度_报告_Q3:results"); }},
        // Size: only the PageSize option, empty without it.
        row("PageSize", "PageSize=A4 number-up=1", {}, [](Job &j) { j.size = "A4"; }),
        row("NoPageSizeGivesEmptySize", "number-up=1 sides=one-sided", {}, none),
        row("LaterPageSizeWins", "PageSize=A4 PageSize=Letter", {}, [](Job &j) { j.size = "Letter"; }),
        row("MalformedPiecesSkipped", "PageSize  junk a=b=c PageSize=A3", {}, [](Job &j) { j.size = "A3"; }),
        // Collate: the presence of "Collate" in the options wins over the booklet rule.
        row("CollateFalseStillCollated", "PageSize=A4 Collate=False", {"KWBooklet=0"},
            [](Job &j) {
                j.size = "A4";
                j.booklet = "0";
            }),
        row("BookletZeroUncollated", "", {"KWBooklet=0"},
            [](Job &j) {
                j.booklet = "0";
                j.collate = "separate-documents-uncollated-copies";
            }),
        row("BookletTenUncollated", "", {"KWBooklet=10"},
            [](Job &j) {
                j.booklet = "10";
                j.collate = "separate-documents-uncollated-copies";
            }),
        row("BookletOneCollated", "", {"KWBooklet=1"}, [](Job &j) { j.booklet = "1"; }),
        row("LowerCaseCollateDoesNotCount", "collate=true", {"KWBooklet=0"},
            [](Job &j) {
                j.booklet = "0";
                j.collate = "separate-documents-uncollated-copies";
            }),
        // Tray from the block's InputSlot.
        row("TrayNumber", "", {"InputSlot=Tray2"}, [](Job &j) { j.tray = "tray-2"; }),
        row("TrayName", "", {"InputSlot=TrayA"}, [](Job &j) { j.tray = "tray-a"; }),
        row("TrayAlone", "", {"InputSlot=Tray"}, [](Job &j) { j.tray = "tray-"; }),
        row("ByPassTray", "", {"InputSlot=ByPassTray"}, [](Job &j) { j.tray = "manual"; }),
        row("ManualFeed", "", {"InputSlot=MANUALFEED"}, [](Job &j) { j.tray = "manual"; }),
        row("AutoSlot", "", {"InputSlot=Auto"}, none),
        row("UnknownSlot", "", {"InputSlot=LargeCapacity"}, none),
        row("NoSlot", "InputSlot=Tray3", {}, none),
        // Duplex: only 3 and 2 mean two-sided.
        row("DuplexLongEdge", "", {"KWDuplex=3"}, [](Job &j) { j.duplex = "two-sided-long-edge"; }),
        row("DuplexShortEdge", "", {"KWDuplex=2"}, [](Job &j) { j.duplex = "two-sided-short-edge"; }),
        row("DuplexOne", "", {"KWDuplex=1"}, none),
        row("DuplexZero", "", {"KWDuplex=0"}, none),
        row("DuplexEmpty", "", {"KWDuplex="}, none),
        row("DuplexText", "", {"KWDuplex=long"}, none),
        // Colour: the block decides when it names a colour mode...
        row("BlockColorBeatsOptions", "ColorModel=Gray", {"KWColorMode=Color"}, none),
        row("BlockGrayAnyCase", "", {"KWColorMode=GRAY"}, [](Job &j) { j.color = "monochrome"; }),
        row("BlockGrayBeatsOptions", "KWColorMode=Color ColorModel=RGB", {"KWColorMode=gray"},
            [](Job &j) { j.color = "monochrome"; }),
        row("BlockMonochromeIsGray", "ColorModel=RGB", {"KWColorMode=Monochrome"},
            [](Job &j) { j.color = "monochrome"; }),
        // ...otherwise ColorModel, then KWColorMode of the CUPS options.
        row("OptionsColorModelGray", "ColorModel=Gray", {}, [](Job &j) { j.color = "monochrome"; }),
        row("OptionsColorModelRgb", "ColorModel=RGB", {}, none),
        row("OptionsColorModelOther", "ColorModel=CMYK", {}, [](Job &j) { j.color = "monochrome"; }),
        row("OptionsKWColorModeWins", "ColorModel=RGB KWColorMode=Gray", {}, [](Job &j) { j.color = "monochrome"; }),
        row("OptionsKWColorModeWinsBack", "KWColorMode=Color ColorModel=Gray", {}, none),
        row("OptionsKWColorModeMonochrome", "KWColorMode=MONOCHROME", {}, [](Job &j) { j.color = "monochrome"; }),
        row("OptionsKWColorModeOther", "ColorModel=Gray KWColorMode=Sepia", {}, none),
        row("UnknownBlockModeDefers", "ColorModel=Gray", {"KWColorMode=Auto"}, [](Job &j) { j.color = "monochrome"; }),
        row("NoColourAnywhere", "PageSize=A4", {}, [](Job &j) { j.size = "A4"; }),
        {"OrdinaryPdfUsesOptions",
         "Report",
         "ColorModel=Gray PageSize=A3",
         {},
         false,
         [](Job &j) {
             j.color = "monochrome";
             j.size = "A3";
         }},
        // Finishing values pass through; print-as-image only for "1".
        row("Finishing", "",
            {"KWStaple=StapleDualLeft", "KWPunch=左侧", "KWNumPunchHoles=4", "KWImageQuality=1200", "KWFinishOutSize=1",
             "KWFold=Half", "KWPrintAsImage=1"},
            [](Job &j) {
                j.staple = "StapleDualLeft";
                j.holePunch = QString::fromUtf8("左侧");
                j.holeNumber = "4";
                j.quality = "1200";
                j.finishOutSize = "1";
                j.printAsImage = true;
            }),
        row("PrintAsImageTrue", "", {"KWPrintAsImage=true"}, none),
        row("PrintAsImageYes", "", {"KWPrintAsImage=yes"}, none),
        row("PrintAsImage01", "", {"KWPrintAsImage=01"}, none),
    };
}

class ControlParserTable : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(ControlParserTable, MapsControlFileAndBlockOntoJob)
{
    const ParseCase &c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray pdf = fixturePdf();
    const SpooledJob spooled = spool(dir, c.title, "1", c.options, c.hasBlock ? optionBlock(c.block) + pdf : pdf);

    QString docPath = spooled.doc;
    const Job job = parseControlFile(spooled.ctrl, docPath);

    Job expected = parsedBase();
    expected.name = QString::fromStdString(c.title).replace(' ', '_');
    c.expect(expected);
    EXPECT_EQ(job, expected);
    EXPECT_FALSE(QFile::exists(spooled.ctrl)) << "the control file is deleted after parsing";
    EXPECT_EQ(docPath, c.hasBlock ? spooled.doc + ".dest" : spooled.doc);
    EXPECT_EQ(readBytes(docPath), pdf);
}

INSTANTIATE_TEST_SUITE_P(Cases, ControlParserTable, ::testing::ValuesIn(parseCases()),
                         [](const ::testing::TestParamInfo<ParseCase> &info) { return info.param.name; });

TEST(ControlParser, CopiesTakenAsGiven)
{
    QTemporaryDir dir;
    const SpooledJob spooled = spool(dir, "Report", "12", "", fixturePdf());
    QString docPath = spooled.doc;
    EXPECT_EQ(parseControlFile(spooled.ctrl, docPath).copy, QStringLiteral("12"));
}

// Without an options line the block is not even looked at: the document keeps
// it and the printing options keep their defaults.
TEST(ControlParser, NoOptionLineLeavesDocumentAndDefaults)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    const QByteArray content = optionBlock({"KWColorMode=Color", "KWDuplex=3"}) + fixturePdf();
    writeBytes(doc, content);
    writeBytes(doc + ".ctrl", "JOB_FILE=" + doc.toUtf8() + "\nUSER=alice\nDOCNAME=Plan B\nCOPY=2\n");

    QString docPath = doc;
    const Job job = parseControlFile(doc + ".ctrl", docPath);
    Job expected;
    expected.name = QStringLiteral("Plan_B");
    expected.copy = QStringLiteral("2");
    EXPECT_EQ(job, expected);
    EXPECT_EQ(docPath, doc);
    EXPECT_EQ(readBytes(doc), content);
    EXPECT_FALSE(QFile::exists(doc + ".ctrl"));
}

TEST(ControlParser, MissingControlFileGivesDefaultsAndTouchesNothing)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    const QByteArray content = optionBlock({"KWDuplex=3"}) + fixturePdf();
    writeBytes(doc, content);

    AppLog log;
    QString docPath = doc;
    EXPECT_EQ(parseControlFile(doc + ".ctrl", docPath), Job());
    EXPECT_EQ(docPath, doc);
    EXPECT_EQ(readBytes(doc), content);
    const auto messages = log.messages();
    ASSERT_EQ(messages.size(), 15u) << "only the job's fields are logged";
    EXPECT_EQ(messages.front(), "job booklet: ");
    EXPECT_EQ(messages.back(), "job printAsImage: No");
}

TEST(ControlParser, CrLfAndBlanksAroundLinesAreTrimmed)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    writeBytes(doc, fixturePdf());
    writeBytes(doc + ".ctrl", "DOCNAME= Q3 plan \r\nCOPY=3\r\n\t OPTION=PageSize=A5\r\n\r\n");
    QString docPath = doc;
    const Job job = parseControlFile(doc + ".ctrl", docPath);
    EXPECT_EQ(job.name, QStringLiteral("_Q3_plan")) << "only the line is trimmed, not the value";
    EXPECT_EQ(job.copy, QStringLiteral("3"));
    EXPECT_EQ(job.size, QStringLiteral("A5"));
}

TEST(ControlParser, EmptyControlFileIsDeleted)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    writeBytes(doc, fixturePdf());
    writeBytes(doc + ".ctrl", QByteArray());
    QString docPath = doc;
    EXPECT_EQ(parseControlFile(doc + ".ctrl", docPath), Job());
    EXPECT_FALSE(QFile::exists(doc + ".ctrl"));
}

// The records of one parse, deciphered, in the order they are written.
TEST(ControlParser, LogsControlFileBlockAndJob)
{
    QTemporaryDir dir;
    const SpooledJob spooled =
        spool(dir, "Q3 plan", "2", "PageSize=A4", optionBlock({"KWColorMode=Gray", "InputSlot=Tray1"}) + fixturePdf());
    const std::string ctrlText = readBytes(spooled.ctrl).toStdString();

    AppLog log;
    QString docPath = spooled.doc;
    parseControlFile(spooled.ctrl, docPath);

    const std::vector<std::string> expected = {
        "ctrl filename: " + spooled.ctrl.toStdString(),
        "ctrl content:" + ctrlText,
        "option:PageSize=A4",
        "InputSlot:Tray1",
        "KWBooklet:",
        "KWCollate:",
        "KWColorMode:Gray",
        "KWDuplex:",
        "KWFinishOutSize:",
        "KWFold:",
        "KWImageQuality:",
        "KWNumPunchHoles:",
        "KWPrintAsImage:",
        "KWPunch:",
        "KWStaple:",
        "ColorModel:Gray",
        "job booklet: ",
        "job collate: separate-documents-collated-copies",
        "job color: monochrome",
        "job copy: 2",
        "job duplex: one-sided",
        "job finishOutSize: ",
        "job holeNumber: ",
        "job holePunch: ",
        "job jobFile: ",
        "job name: Q3_plan",
        "job quality: ",
        "job size: A4",
        "job staple: ",
        "job tray: tray-1",
        "job printAsImage: No",
    };
    EXPECT_EQ(log.messages(), expected);
}

TEST(JobRecord, DefaultsAndQueuedSignalTransport)
{
    const Job job;
    EXPECT_EQ(job.jobFile, QString());
    EXPECT_EQ(job.color, QStringLiteral("monochrome"));
    EXPECT_EQ(job.duplex, QStringLiteral("one-sided"));
    EXPECT_EQ(job.copy, QStringLiteral("1"));
    EXPECT_EQ(job.collate, QStringLiteral("separate-documents-collated-copies"));
    EXPECT_EQ(job.tray, QStringLiteral("auto"));
    EXPECT_EQ(job.size, QStringLiteral("a4"));
    EXPECT_EQ(job.name, QStringLiteral("DastrelJobName"));
    EXPECT_TRUE(job.staple.isEmpty() && job.holePunch.isEmpty() && job.holeNumber.isEmpty() && job.booklet.isEmpty() &&
                job.quality.isEmpty() && job.finishOutSize.isEmpty());
    EXPECT_FALSE(job.printAsImage);

    Job changed;
    changed.tray = QStringLiteral("tray-2");
    EXPECT_EQ(QVariant::fromValue(changed).value<Job>(), changed);
}

} // namespace
