// The option block in front of a spooled PDF: what is read, what is stripped,
// and that the only copy of a document is never lost.

#include "IntakeSupport.h"

#include "intake/PSUtil.h"

#include <QFileInfo>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using kestrelware::JobOption;
using kestrelware::PSUtil;
using namespace intaketest;

namespace {

QString filterPdf(const QString &path, JobOption &option)
{
    return QString::fromStdWString(PSUtil::FilterPdf(path.toStdWString(), option));
}

QByteArray lines(int count, const char *text)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += QByteArray(text) + '\n';
    return out;
}

JobOption options(std::function<void(JobOption &)> set)
{
    JobOption o;
    set(o);
    return o;
}

struct BlockCase {
    const char *name;
    QByteArray prefix; // everything before the PDF
    bool stripped;     // the block is complete: the PDF alone remains, in path + ".dest"
    JobOption expected;
};

void PrintTo(const BlockCase &c, std::ostream *os)
{
    *os << c.name;
}

const JobOption kEmpty;

std::vector<BlockCase> blockCases()
{
    return {
        {"EveryKey",
         optionBlock({"KWColorMode=Gray", "KWDuplex=3", "InputSlot=Tray1", "KWStaple=StapleTopLeft", "KWFold=Half",
                      "KWPunch=2Holes", "KWNumPunchHoles=2", "KWBooklet=1", "KWCollate=On", "KWFinishOutSize=2",
                      "KWImageQuality=600", "KWPrintAsImage=1", "Unknown=kept only in the log"}),
         true, options([](JobOption &o) {
             o.colorMode = "Gray";
             o.duplex = 3;
             o.inputSlot = "Tray1";
             o.staple = "StapleTopLeft";
             o.fold = "Half";
             o.punch = "2Holes";
             o.numPunchHoles = "2";
             o.booklet = "1";
             o.collate = "On";
             o.finishOutSize = "2";
             o.imageQuality = "600";
             o.printAsImage = true;
         })},
        // An ordinary PDF: nothing read, and InputSlot ends empty rather than "Auto".
        {"NoBlock", QByteArray(), false, kEmpty},
        {"EmptyBlock", optionBlock({}), true, kEmpty},
        {"MarkersInsideLines", "x %KWPDF y\nKWDuplex=2\nend:%KWPDF_END:\n", true,
         options([](JobOption &o) { o.duplex = 2; })},
        {"DuplexNotANumber", optionBlock({"KWDuplex=abc"}), true, kEmpty},
        {"DuplexOutOfRange", optionBlock({"KWDuplex=99999999999"}), true, kEmpty},
        {"PrintAsImage01", optionBlock({"KWPrintAsImage=01"}), true, kEmpty},
        {"PrintAsImageTrue", optionBlock({"KWPrintAsImage=true"}), true, kEmpty},
        // KEY=A=B is not an option line; KEY= stores an empty value.
        {"TwoEqualSigns", optionBlock({"KWStaple=A=B", "KWBooklet=", "KWFold"}), true, kEmpty},
        {"BlanksAndCrLf", "%KWPDF\r\n  KWColorMode=Color \t\r\n\tInputSlot=ByPassTray\r\n%KWPDF_END\r\n", true,
         options([](JobOption &o) {
             o.colorMode = "Color";
             o.inputSlot = "ByPassTray";
         })},
        {"RepeatedKeyKeepsLast", optionBlock({"KWColorMode=Gray", "KWColorMode=Color"}), true,
         options([](JobOption &o) { o.colorMode = "Color"; })},
        {"Utf8Value", optionBlock({"KWStaple=左上角装订"}), true,
         options([](JobOption &o) { o.staple = "左上角装订"; })},
        // Without an end line the document stays as it is, with the options read so far.
        {"NoEndLine", "%KWPDF\nKWColorMode=Gray\nKWDuplex=2\n", false, options([](JobOption &o) {
             o.colorMode = "Gray";
             o.duplex = 2;
         })},
        // Up to 200 lines follow the first; the end line may be the 200th of them (line 201)...
        {"EndOnLine201", "%KWPDF\nKWDuplex=3\n" + lines(198, "Filler=1") + "%KWPDF_END\n", true,
         options([](JobOption &o) { o.duplex = 3; })},
        // ...but not line 202.
        {"EndOnLine202", "%KWPDF\nKWDuplex=3\n" + lines(199, "Filler=1") + "%KWPDF_END\n", false,
         options([](JobOption &o) { o.duplex = 3; })},
        // A line longer than 1023 bytes is read in pieces, each counting as a line.
        {"LongLineCountsTwice",
         "%KWPDF\n" + lines(198, "Filler=1") + "Long=" + QByteArray(1500, 'x') + "\n%KWPDF_END\n", false, kEmpty},
        {"LongLineWithinLimit",
         "%KWPDF\n" + lines(197, "Filler=1") + "Long=" + QByteArray(1500, 'x') + "\n%KWPDF_END\n", true, kEmpty},
    };
}

class OptionBlockTable : public ::testing::TestWithParam<BlockCase>
{
};

TEST_P(OptionBlockTable, ReadsOptionsAndStripsOnlyCompleteBlocks)
{
    const BlockCase &c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    const QByteArray pdf = fixturePdf();
    writeBytes(doc, c.prefix + pdf);

    JobOption option;
    const QString result = filterPdf(doc, option);

    EXPECT_EQ(option, c.expected);
    if (c.stripped) {
        EXPECT_EQ(result, doc + ".dest");
        EXPECT_FALSE(QFile::exists(doc)) << "the spooled document must be gone";
        EXPECT_EQ(readBytes(result), pdf) << "the stripped document is the PDF, byte for byte";
    } else {
        EXPECT_EQ(result, doc);
        EXPECT_FALSE(QFile::exists(doc + ".dest"));
        EXPECT_EQ(readBytes(doc), c.prefix + pdf) << "the document stays untouched";
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, OptionBlockTable, ::testing::ValuesIn(blockCases()),
                         [](const ::testing::TestParamInfo<BlockCase> &info) { return info.param.name; });

TEST(OptionBlock, BlockWithoutDocumentGivesEmptyStrippedDocument)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    writeBytes(doc, optionBlock({"KWDuplex=2"}));
    JobOption option;
    EXPECT_EQ(filterPdf(doc, option), doc + ".dest");
    EXPECT_EQ(option.duplex, 2);
    EXPECT_TRUE(QFileInfo(doc + ".dest").isFile());
    EXPECT_EQ(QFileInfo(doc + ".dest").size(), 0);
    EXPECT_FALSE(QFile::exists(doc));
}

TEST(OptionBlock, MissingDocumentKeepsPathAndDefaults)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("missing.tmp"));
    JobOption option;
    EXPECT_EQ(filterPdf(doc, option), doc);
    EXPECT_EQ(option, options([](JobOption &o) { o.inputSlot = "Auto"; }));
    EXPECT_FALSE(QFile::exists(doc + ".dest")) << "no stray output for a missing document";
}

TEST(OptionBlock, UncreatableOutputKeepsDocumentAndDefaults)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    const QByteArray content = optionBlock({"KWDuplex=3"}) + fixturePdf();
    writeBytes(doc, content);
    ASSERT_TRUE(QDir().mkdir(doc + ".dest"));

    JobOption option;
    EXPECT_EQ(filterPdf(doc, option), doc);
    EXPECT_EQ(option, options([](JobOption &o) { o.inputSlot = "Auto"; }));
    EXPECT_EQ(readBytes(doc), content);
}

// A link left under the stripped document's name must not redirect the write.
TEST(OptionBlock, PlantedLinkIsNotFollowed)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    const QString victim = dir.filePath(QStringLiteral("victim"));
    writeBytes(victim, "precious");
    ASSERT_TRUE(QFile::link(victim, doc + ".dest"));
    const QByteArray pdf = fixturePdf();
    writeBytes(doc, optionBlock({"KWDuplex=3"}) + pdf);

    JobOption option;
    EXPECT_EQ(filterPdf(doc, option), doc + ".dest");
    EXPECT_EQ(readBytes(victim), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo(doc + ".dest").isSymLink());
    EXPECT_EQ(readBytes(doc + ".dest"), pdf);
}

// Fault injection: the file-size limit makes the copy fail part-way, like a
// full disk. The partial copy must go and the document must stay.
TEST(OptionBlock, FailedWriteKeepsTheOnlyCopy)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    const QByteArray content = optionBlock({"KWDuplex=3"}) + fixturePdf() + QByteArray(512 * 1024, 'p');
    writeBytes(doc, content);

    AppLog log;
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    JobOption option;
    const QString result = filterPdf(doc, option);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, doc);
    EXPECT_EQ(readBytes(doc), content);
    EXPECT_FALSE(QFile::exists(doc + ".dest"));
    EXPECT_EQ(option.duplex, 3) << "the options read are still used";
    const auto messages = log.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "cannot write stripped document: " + (doc + ".dest").toStdString());
}

// One record per key in byte order of the keys: the block's own keys, and the
// known keys that the block lacked, with empty values.
TEST(OptionBlock, LogsEveryKeyInKeyOrder)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    writeBytes(doc, optionBlock({"Zeta=1", "KWDuplex=3", "Alpha=2", "InputSlot=Tray1"}) + fixturePdf());

    AppLog log;
    JobOption option;
    filterPdf(doc, option);
    const std::vector<std::string> expected = {
        "Alpha:2",         "InputSlot:Tray1",  "KWBooklet:", "KWCollate:",      "KWColorMode:",
        "KWDuplex:3",      "KWFinishOutSize:", "KWFold:",    "KWImageQuality:", "KWNumPunchHoles:",
        "KWPrintAsImage:", "KWPunch:",         "KWStaple:",  "Zeta:1",
    };
    EXPECT_EQ(log.messages(), expected);
}

TEST(OptionBlock, OrdinaryPdfLogsEveryKnownKeyEmpty)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("job.tmp"));
    writeBytes(doc, fixturePdf());
    AppLog log;
    JobOption option;
    filterPdf(doc, option);
    EXPECT_EQ(log.messages().size(), 12u);
}

} // namespace
