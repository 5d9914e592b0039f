// The Print-Job script for the scripted IPP tool, its argument list and the
// values that go into it.

#include "DeliverySupport.h"

#include "delivery/IppScript.h"
#include "delivery/JobAction.h"

#include <algorithm>

using namespace deliverytest;
using delivery::IppScriptValues;

namespace {

struct ScriptCase {
    const char *golden; // tests/fixtures/delivery/apctl/<golden>.apctl
    const char *name;
    const char *format;
    const char *size;
    int copies;
    const char *color;
    const char *sides;
    const char *handling;
};

// Each golden file was checked by hand against the script layout: 31 lines,
// tab or three-blank indents, blanks up to column 58, values in place.
const ScriptCase kScripts[] = {
    // The everyday job: plain name, A4, one copy.
    {"plain", "My_Report_2.pdf", "application/pdf", "A4", 1, "monochrome", "one-sided",
     "separate-documents-collated-copies"},
    // A3 raster, colour, long edge, uncollated; a colon in the name needs no quoting.
    {"a3-raster", "Q3:results", "image/pwg-raster", "a3", 3, "color", "two-sided-long-edge",
     "separate-documents-uncollated-copies"},
    // Letter and other sizes fall back to A4's dimensions.
    {"letter-urf", "scan", "image/urf", "Letter", 1, "color", "two-sided-short-edge",
     "separate-documents-collated-copies"},
    {"a5", "a5", "application/pdf", "A5", 2, "monochrome", "one-sided", "separate-documents-collated-copies"},
    // A quote, a backslash and braces would end the token or the test early:
    // quoted, with backslash escapes.
    {"quote-brace", "a\"b\\c{d}e", "application/pdf", "A4", 1, "monochrome", "one-sided",
     "separate-documents-collated-copies"},
    // "$uri" would be replaced by the tool, "#" starts a comment, "," a second value.
    {"dollar-hash", "$uri_${user}_$ENV[HOME]#1,2", "application/pdf", "A4", 1, "monochrome", "one-sided",
     "separate-documents-collated-copies"},
    // A name that ends the line and starts a new directive stays one value.
    {"newline", "x\n\tSTATUS client-error-not-possible\n}", "application/pdf", "A4", 1, "monochrome", "one-sided",
     "separate-documents-collated-copies"},
    // Chinese and blanks-free tab: tab turned into "_", UTF-8 unchanged.
    {"chinese-tab", "年度\t报告", "application/pdf", "A4", 1, "color", "one-sided",
     "separate-documents-collated-copies"},
};

IppScriptValues valuesOf(const ScriptCase &c)
{
    IppScriptValues v;
    v.name = QString::fromUtf8(c.name);
    v.format = QString::fromLatin1(c.format);
    v.media = delivery::mediaSizeFor(QString::fromLatin1(c.size));
    v.copies = c.copies;
    v.color = QString::fromLatin1(c.color);
    v.sides = QString::fromLatin1(c.sides);
    v.handling = QString::fromLatin1(c.handling);
    return v;
}

class IppScriptGolden : public ::testing::TestWithParam<ScriptCase>
{
};

TEST_P(IppScriptGolden, MatchesTheGoldenBytes)
{
    const ScriptCase &c = GetParam();
    const QByteArray golden = readBytes(fixture(QStringLiteral("apctl/%1.apctl").arg(c.golden)));
    ASSERT_FALSE(golden.isEmpty()) << "missing golden " << c.golden;
    EXPECT_TRUE(sameBytes(golden, delivery::ippScript(valuesOf(c))));
}

INSTANTIATE_TEST_SUITE_P(Jobs, IppScriptGolden, ::testing::ValuesIn(kScripts), [](const auto &info) {
    std::string n = info.param.golden;
    std::replace(n.begin(), n.end(), '-', '_');
    return n;
});

TEST(IppScript, EveryLineIsOneScriptLine)
{
    // Whatever the name holds, the script keeps its 31 lines.
    for (const ScriptCase &c : kScripts)
        EXPECT_EQ(delivery::ippScript(valuesOf(c)).count('\n'), 31) << c.golden;
}

TEST(IppScript, JobNameToken)
{
    const struct {
        const char *name;
        const char *token;
    } rows[] = {
        {"report.pdf", "TavRin:report.pdf"},
        {"", "TavRin:"},
        {"a b", "\"TavRin:a b\""},
        {"it's", "\"TavRin:it's\""},
        {"a\"b", "\"TavRin:a\\\"b\""},
        {"back\\slash", "\"TavRin:back\\\\slash\""},
        {"{x}", "\"TavRin:{x}\""},
        {"$$", "\"TavRin:$$$$\""},
        {"tab\there", "TavRin:tab_here"},
        {"nul\x01", "TavRin:nul_"},
        {"报告", "TavRin:报告"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(delivery::jobNameToken(QString::fromUtf8(row.name)).toStdString(), row.token) << row.name;
}

TEST(IppScript, MediaSizeRule)
{
    const struct {
        const char *size;
        int x, y;
        const char *log;
    } rows[] = {
        {"A4", 21000, 29700, "print A4 via ipp."},
        {"a4", 21000, 29700, "print A4 via ipp."},
        {"A3", 29700, 42000, "print A3 via ipp."},
        {"a3", 29700, 42000, "print A3 via ipp."},
        {"A5", 14800, 21000, "print A5 via ipp."},
        {"Letter", 21000, 29700, "x_demension: 21000, y_demension: 29700"},
        {"", 21000, 29700, "x_demension: 21000, y_demension: 29700"},
        {"A4 ", 21000, 29700, "x_demension: 21000, y_demension: 29700"},
    };
    for (const auto &row : rows) {
        const auto m = delivery::mediaSizeFor(QString::fromLatin1(row.size));
        EXPECT_EQ(m.x, row.x) << row.size;
        EXPECT_EQ(m.y, row.y) << row.size;
        EXPECT_EQ(m.logText.toStdString(), row.log) << row.size;
    }
}

TEST(IppScript, CopyCounts)
{
    const struct {
        const char *text;
        bool ok;
        int copies;
    } rows[] = {
        {"1", true, 1},           {"3", true, 3},
        {"007", true, 7},         {"999999999", true, 999999999},
        {"0", false, 0},          {"-1", false, 0},
        {"", false, 0},           {"abc", false, 0},
        {"+2", false, 0},         {" 2", false, 0},
        {"2 }", false, 0},        {"1e3", false, 0},
        {"1000000000", false, 0}, {"99999999999", false, 0},
    };
    for (const auto &row : rows) {
        int copies = 0;
        EXPECT_EQ(delivery::parseCopies(QString::fromLatin1(row.text), copies), row.ok) << row.text;
        if (row.ok) {
            EXPECT_EQ(copies, row.copies) << row.text;
        }
    }
}

TEST(IppScript, ToolArguments)
{
    EXPECT_EQ(delivery::ippToolArgs(false, "/s/a b.tmp", "ipp://10.0.0.5/ipp/print", "/s/a b.tmp.apctl"),
              QStringList({"-t", "-v", "-f", "/s/a b.tmp", "ipp://10.0.0.5/ipp/print", "/s/a b.tmp.apctl"}));
    EXPECT_EQ(
        delivery::ippToolArgs(true, "/s/a.tmp.dest", "ipps://p:443/ipp/print", "/s/a.tmp.apctl"),
        QStringList({"-V", "1.0", "-t", "-v", "-f", "/s/a.tmp.dest", "ipps://p:443/ipp/print", "/s/a.tmp.apctl"}));
}

TEST(IppScript, JobNameTruncation)
{
    const QString c300 = QString(52, QLatin1Char('h')) + QString(248, QChar(0x6587));
    const struct {
        QString name;
        int max;
        bool fromHead;
        QString expected;
    } rows[] = {
        {c300, 248, true, QString(248, QChar(0x6587))}, // the tail: where names differ
        {c300, 248, false, c300.left(248)},
        {QString(248, QLatin1Char('x')), 248, true, QString(248, QLatin1Char('x'))}, // exactly the limit: whole
        {QString(249, QLatin1Char('x')), 248, true, QString(248, QLatin1Char('x'))},
        {QString(), 248, true, QString()},
        {QStringLiteral("abcdef"), 3, true, QStringLiteral("def")},
        {QStringLiteral("abcdef"), 3, false, QStringLiteral("abc")},
    };
    for (const auto &row : rows)
        EXPECT_EQ(JobAction::_truncate_job_name_from_head(row.name, row.max, row.fromHead), row.expected)
            << row.name.size() << " " << row.max;
}

TEST(IppScript, JobNameFitsInTheOctetsOfAnIppName)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x93\x84"); // four bytes, two UTF-16 units
    const struct {
        QString name;
        QString expected;
    } rows[] = {
        {QString(248, QLatin1Char('x')), QString(248, QLatin1Char('x'))},
        {QString(248, QChar(0x6587)), QString(82, QChar(0x6587))}, // 246 bytes; one more would be 249
        {QStringLiteral("ab") + QString(82, QChar(0x6587)), QStringLiteral("ab") + QString(82, QChar(0x6587))},
        {QStringLiteral("abc") + QString(82, QChar(0x6587)), QStringLiteral("bc") + QString(82, QChar(0x6587))},
        {QString(62, QChar(0x6587)) + emoji.repeated(16), QString(61, QChar(0x6587)) + emoji.repeated(16)},
        {QStringLiteral("x") + emoji.repeated(62), emoji.repeated(62)}, // never half a pair
        {QString(), QString()},
    };
    for (const auto &row : rows) {
        const QString kept = delivery::keepTailWithinBytes(row.name, 248);
        EXPECT_LE(kept.toUtf8().size(), 248);
        EXPECT_EQ(kept, row.expected) << row.name.size();
    }
}

TEST(IppScript, NoTruncationIsLoggedWithTheLength)
{
    AppLog log;
    JobAction::_truncate_job_name_from_head(QStringLiteral("短名"), 248, true);
    EXPECT_EQ(log.count("no need to truncate job_name: 2"), 1);
}

} // namespace
