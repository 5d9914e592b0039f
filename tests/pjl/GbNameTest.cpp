// The brand "03" job name in GB2312: whole in the DNAME comment, at most 76
// bytes in the ACNA attribute, never ending in half a character.

#include "PjlSupport.h"

#include "pjl/PJLHeader.h"

#include <vector>

using namespace pjltest;

namespace {

struct NameRow {
    const char *label;
    QString name;
    std::string dname; // bytes of the DNAME comment's value
    std::string acna;  // bytes of the ACNA attribute's value
};

void PrintTo(const NameRow &row, std::ostream *os)
{
    *os << row.label;
}

std::string repeat(const std::string &piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

const std::string kZhong = "\xD6\xD0"; // U+4E2D in GB2312

const std::vector<NameRow> kNames = {
    {"ascii", QStringLiteral("Report.pdf"), "Report.pdf", "Report.pdf"},
    {"50 Chinese characters: 100 bytes, 76 in ACNA", QString(50, QChar(0x4E2D)), repeat(kZhong, 50),
     repeat(kZhong, 38)},
    // The 76th byte would be the first half of a character: ACNA stops at 75.
    {"odd start: cut before a split character", QLatin1String("A") + QString(50, QChar(0x4E2D)),
     "A" + repeat(kZhong, 50), "A" + repeat(kZhong, 37)},
    {"exactly 76 bytes stay whole", QString(38, QChar(0x4E2D)), repeat(kZhong, 38), repeat(kZhong, 38)},
    // Characters outside the encoding (an emoji, a surrogate pair) become one "?"; a quote becomes "_".
    {"unencodable character and quote", QString::fromUtf8("\xF0\x9F\x98\x80报告\"x"), "?\xB1\xA8\xB8\xE6_x",
     "?\xB1\xA8\xB8\xE6_x"},
};

// The value after `prefix` up to the end of its line, without a trailing quote.
std::string lineValue(const std::string &text, const std::string &prefix, bool quoted)
{
    const auto at = text.find(prefix);
    if (at == std::string::npos)
        return "<no line " + prefix + ">";
    const auto from = at + prefix.size();
    auto end = text.find('\n', from);
    if (quoted)
        --end;
    return text.substr(from, end - from);
}

class GbNameTest : public ::testing::TestWithParam<NameRow>
{
};

TEST_P(GbNameTest, DnameWholeAcnaCut)
{
    const NameRow &row = GetParam();
    Job job = J();
    job.name = row.name;
    const std::string header = PJLHeader(job, "03").header();
    EXPECT_TRUE(sameBytes(row.dname, lineValue(header, "@PJL COMMENT DNAME=", false))) << "DNAME";
    EXPECT_TRUE(sameBytes(row.acna, lineValue(header, "@PJL SET JOBATTR=\"@ACNA=", true))) << "ACNA";
    EXPECT_LE(lineValue(header, "@PJL SET JOBATTR=\"@ACNA=", true).size(), 76u);
}

INSTANTIATE_TEST_SUITE_P(Names, GbNameTest, ::testing::ValuesIn(kNames));

} // namespace
