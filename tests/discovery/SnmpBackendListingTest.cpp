// Reading the CUPS SNMP backend's listing: shell-like word splitting and the
// candidates a listing yields.

#include "discovery/SnmpBackendListing.h"

#include "DiscoveryTestSupport.h"

namespace {

using tavrin::test::rowName;

struct WordsRow {
    const char *what;
    const char *line;
    QStringList words;
    friend void PrintTo(const WordsRow &row, std::ostream *os) { *os << row.what; }
};

class SepSnmpWordTest : public ::testing::TestWithParam<WordsRow>
{
};

TEST_P(SepSnmpWordTest, Split)
{
    const WordsRow &row = GetParam();
    EXPECT_EQ(QStringList(util::sepSnmpWord(QString::fromUtf8(row.line))), row.words);
}

const WordsRow kWordsRows[] = {
    {"escaped blank and quoted words", "a b\\ c \"d e\"", {"a", "b c", "d e"}},
    {"empty quoted word in the middle", "x \"\" y", {"x", "", "y"}},
    {"empty quoted word at the end is dropped", "x \"\"", {"x"}},
    {"blanks around", "  a\t\tb  ", {"a", "b"}},
    {"quote inside a word joins", "ab\"c d\"e f", {"abc de", "f"}},
    {"escaped quote", "a\\\"b", {"a\"b"}},
    {"backslash at the end", "a\\", {"a"}},
    {"no-break space separates",
     "a\xc2\xa0"
     "b",
     {"a", "b"}},
    {"next-line character separates",
     "a\xc2\x85"
     "b",
     {"a", "b"}},
    {"ideographic space separates", "\xe6\x89\x93\xe3\x80\x80\xe5\x8d\xb0", {"\xe6\x89\x93", "\xe5\x8d\xb0"}},
    {"unclosed quote runs to the end", "a \"b c", {"a", "b c"}},
    {"empty line", "", {}},
    {"backend line",
     "network socket://192.168.1.20 \"ACME Laser\" \"ACME Laser 500\" \"MFG:ACME;\" \"\"",
     {"network", "socket://192.168.1.20", "ACME Laser", "ACME Laser 500", "MFG:ACME;"}},
};

INSTANTIATE_TEST_SUITE_P(Lines, SepSnmpWordTest, ::testing::ValuesIn(kWordsRows), rowName<WordsRow>);

TEST(DeviceUriTest, HostOfUri)
{
    EXPECT_EQ(util::hostOfDeviceUri(QStringLiteral("socket://192.168.1.20")), QStringLiteral("192.168.1.20"));
    EXPECT_EQ(util::hostOfDeviceUri(QStringLiteral("lpd://192.168.1.20/queue")), QStringLiteral("192.168.1.20"));
    EXPECT_EQ(util::hostOfDeviceUri(QStringLiteral("socket://192.168.1.20:9100")), QStringLiteral("192.168.1.20:9100"));
    // Two "/" after the host: left as it is, and no connect test will reach it.
    EXPECT_EQ(util::hostOfDeviceUri(QStringLiteral("ipp://192.168.1.20/ipp/print")),
              QStringLiteral("192.168.1.20/ipp/print"));
    EXPECT_EQ(util::hostOfDeviceUri(QStringLiteral("usb")), QStringLiteral("usb"));
}

TEST(SnmpListingTest, CandidatesInOrder)
{
    const QString listing =
        QStringLiteral("network socket://192.168.1.20 \"ACME Laser\" \"ACME Laser 500\" \"MFG:ACME;\" \"\"\n"
                       "network lpd://192.168.1.21/queue \"B\" \"Brother HL\" \"\" \"2F\"\n"
                       "network socket://192.168.1.22 \"only three\"\n"
                       "\n"
                       "network socket://192.168.1.23:9100 \"C\" \"Canon\" \"\" \"\"\n");
    const QList<PrinterItem> devices = util::devicesFromSnmpListing(listing);
    ASSERT_EQ(devices.size(), 3);
    EXPECT_EQ(devices.at(0), (PrinterItem{QStringLiteral("ACME Laser 500"), QStringLiteral("192.168.1.20")}));
    EXPECT_EQ(devices.at(1), (PrinterItem{QStringLiteral("Brother HL"), QStringLiteral("192.168.1.21")}));
    EXPECT_EQ(devices.at(2), (PrinterItem{QStringLiteral("Canon"), QStringLiteral("192.168.1.23:9100")}));
}

} // namespace
