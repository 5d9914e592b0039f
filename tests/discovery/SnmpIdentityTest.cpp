// The SNMP identity tables: brand decision, serial-number object, model-name
// washing and the Pantum test. Expected values come from the brand table of
// the SNMP identification rules; the answers are written as dep2 prints them.

#include "discovery/SnmpIdentity.h"
#include "discovery/NetworkText.h"

#include "DiscoveryTestSupport.h"

namespace {

using tavrin::test::rowName;

struct BrandRow {
    const char *what;
    const char *sysObjectId; // dep2's raw answer
    const char *sysDescr;
    const char *code;
    bool mark;
    bool descrAsked; // only the marker rows read sysDescr
    friend void PrintTo(const BrandRow &row, std::ostream *os) { *os << row.what; }
};

class BrandCodeTest : public ::testing::TestWithParam<BrandRow>
{
};

TEST_P(BrandCodeTest, Decide)
{
    const BrandRow &row = GetParam();
    int asked = 0;
    bool mark = !row.mark; // must be overwritten
    const QString code = util::brandCodeFor(
        QString::fromUtf8(row.sysObjectId),
        [&] {
            ++asked;
            return QString::fromUtf8(row.sysDescr);
        },
        mark);
    EXPECT_EQ(code, QString::fromUtf8(row.code));
    EXPECT_EQ(mark, row.mark);
    EXPECT_EQ(asked, row.descrAsked ? 1 : 0);
}

const BrandRow kBrandRows[] = {
    {"Toshiba", "iso.3.6.1.4.1.1129.2.3.66.1\n", "", "01", false, false},
    {"Canon", "iso.3.6.1.4.1.1602.4.7.1\n", "", "02", false, false},
    {"Xerox", "iso.3.6.1.4.1.253.8.62.1.20\n", "", "03", false, false},
    {"Fuji Xerox", "iso.3.6.1.4.1.297.1.11.93.1\n", "", "03", false, false},
    {"Kyocera", "iso.3.6.1.4.1.1347.41\n", "", "04", false, false},
    {"HP", "iso.3.6.1.4.1.11.2.3.9.1\n", "", "05", false, false},
    {"Ricoh", "iso.3.6.1.4.1.367.1.1\n", "", "06", false, false},
    {"Konica Minolta", "iso.3.6.1.4.1.18334.1.2\n", "\"KONICA MINOLTA bizhub C300i\"\n", "08", false, true},
    {"Konica Minolta Aurora", "iso.3.6.1.4.1.18334.1.2\n", "\"Aurora AD289\"\n", "13", false, true},
    {"Konica Minolta aurora lower case is not the marker", "iso.3.6.1.4.1.18334.1\n", "aurora", "08", false, true},
    {"Sharp", "iso.3.6.1.4.1.2385.3.1.2\n", "", "09", false, false},
    {"Samsung", "iso.3.6.1.4.1.236.11.5.1\n", "", "10", false, false},
    {"Lexmark", "iso.3.6.1.4.1.641.1\n", "\"Lexmark MS421dn\"\n", "11", false, true},
    {"Lexmark number with Pantm", "iso.3.6.1.4.1.641.1\n", "\"Pantm P3300DN\"\n", "18", true, true},
    {"enterprise 24807", "iso.3.6.1.4.1.24807.1\n", "", "14", false, false},
    {"Brother", "iso.3.6.1.4.1.2435.2.3.9.1\n", "", "15", false, false},
    {"Epson", "iso.3.6.1.4.1.1248.1.2.2.1\n", "", "16", false, false},
    {"Pantum", "iso.3.6.1.4.1.40093.1\n", "", "18", false, false},
    {"enterprise 45581", "iso.3.6.1.4.1.45581.2\n", "", "20", false, false},
    {"unknown enterprise", "iso.3.6.1.4.1.99999.1\n", "", "00", false, false},
    {"empty answer", "", "", "00", false, false},
    {"leading blank matches no row", " iso.3.6.1.4.1.11.2.3.9.1\n", "", "00", false, false},
    {"MIB-named answer matches no row", "SNMPv2-SMI::enterprises.11.2.3.9.1\n", "", "00", false, false},
    // Prefix tests: a longer number is caught by the first row whose digits it starts with.
    {"enterprise 112 is caught by HP", "iso.3.6.1.4.1.112.1\n", "", "05", false, false},
    {"enterprise 11290 is caught by Toshiba", "iso.3.6.1.4.1.11290.1\n", "", "01", false, false},
    {"enterprise 2530 is caught by Xerox", "iso.3.6.1.4.1.2530.1\n", "", "03", false, false},
    {"enterprise 6410 is caught by Lexmark", "iso.3.6.1.4.1.6410.1\n", "Pantm", "18", true, true},
};

INSTANTIATE_TEST_SUITE_P(Brands, BrandCodeTest, ::testing::ValuesIn(kBrandRows), rowName<BrandRow>);

struct SerialRow {
    const char *what;
    const char *code;
    bool mark;
    const char *oid;
    friend void PrintTo(const SerialRow &row, std::ostream *os) { *os << row.what; }
};

class SerialObjectTest : public ::testing::TestWithParam<SerialRow>
{
};

TEST_P(SerialObjectTest, Choose)
{
    const SerialRow &row = GetParam();
    EXPECT_EQ(util::serialNumberOid(QString::fromUtf8(row.code), row.mark), QString::fromUtf8(row.oid));
}

const SerialRow kSerialRows[] = {
    {"Epson", "16", false, "1.3.6.1.4.1.1248.1.2.2.1.1.1.5.1"},
    {"Pantum by its own number", "18", false, "1.3.6.1.4.1.40093.6.1.2"},
    {"Pantum through Lexmark", "18", true, "1.3.6.1.4.1.641.2.1.2.1.6.1"},
    {"enterprise 24807", "14", false, "1.3.6.1.4.1.24807.1.2.2.1.1.2.1.2.1"},
    {"HP uses the Printer MIB", "05", false, "1.3.6.1.2.1.43.5.1.1.17.1"},
    {"Lexmark uses the Printer MIB", "11", false, "1.3.6.1.2.1.43.5.1.1.17.1"},
    {"unknown uses the Printer MIB", "00", false, "1.3.6.1.2.1.43.5.1.1.17.1"},
    {"mark alone does not pick Lexmark's object", "05", true, "1.3.6.1.2.1.43.5.1.1.17.1"},
    {"prefix test on the code", "160", false, "1.3.6.1.4.1.1248.1.2.2.1.1.1.5.1"},
};

INSTANTIATE_TEST_SUITE_P(Serials, SerialObjectTest, ::testing::ValuesIn(kSerialRows), rowName<SerialRow>);

struct WashRow {
    const char *what;
    const char *raw;
    const char *washed;
    friend void PrintTo(const WashRow &row, std::ostream *os) { *os << row.what; }
};

class WashModelTest : public ::testing::TestWithParam<WashRow>
{
};

TEST_P(WashModelTest, Wash)
{
    const WashRow &row = GetParam();
    EXPECT_EQ(washSnmpModelName(QString::fromUtf8(row.raw)), QString::fromUtf8(row.washed));
}

const WashRow kWashRows[] = {
    {"quoted string", "\"HP LaserJet Pro 400 M401\"\n", "HP LaserJet Pro 400 M401"},
    {"five pieces are a name", "HP LaserJet Pro 400 M401", "HP LaserJet Pro 400 M401"},
    {"none", "\"(none)\"\n", ""},
    {"NONE in other case", "(NONE)", ""},
    {"empty", "", ""},
    {"blank only", "  \n", ""},
    {"hex dump of eight bytes", "48 50 20 4C 61 73 65 72\n", ""},
    {"hex dump of six bytes", "\"48 50 20 4C 61 73\"", ""},
    {"five two-letter words are kept", "AB CD EF GH IJ", "AB CD EF GH IJ"},
    // dep2 starts a new line after every 16 bytes of a longer dump.
    {"hex dump over two lines",
     "\"48 50 20 20 FF 4C 61 73 65 72 4A 65 74 20 50 72 \n6F 20 4D 34 30 34 64 6E 20 20 20 20 FF 00 \"\n", ""},
    {"one piece of three characters keeps the text", "48 50 20 4C 61 733", "48 50 20 4C 61 733"},
    {"escaped quotes inside", "\"Lexmark \\\"MS421\\\"\"\n", "Lexmark MS421"},
    {"line break inside a name", "\"HP\nLaser\"\n", "HP Laser"},
    {"unicode kept", "\"奔图 P3300DN\"\n", "奔图 P3300DN"},
};

INSTANTIATE_TEST_SUITE_P(Models, WashModelTest, ::testing::ValuesIn(kWashRows), rowName<WashRow>);

TEST(PantumTest, OnlyTheExactCode)
{
    EXPECT_TRUE(is_pantum(QStringLiteral("18")));
    for (const char *other : {"018", "18 ", " 18", "1", "", "08", "81"})
        EXPECT_FALSE(is_pantum(QString::fromLatin1(other))) << other;
}

TEST(SerialTextTest, QuotesAndBlanksGo)
{
    EXPECT_EQ(util::unquoteSnmpString(QStringLiteral("\"CNB1K23456\"\n")), QStringLiteral("CNB1K23456"));
    EXPECT_EQ(util::unquoteSnmpString(QStringLiteral("  X1 \n")), QStringLiteral("X1"));
    EXPECT_EQ(util::cleanNetworkText(QStringLiteral("a\tb\x1b"
                                                    "c\x7f")),
              QStringLiteral("a b c "));
}

} // namespace
