// Address checks: the dialogs' lenient one, the strict one that guards the
// tools and sockets, and the addresses a range search walks.

#include "discovery/Address.h"

#include "DiscoveryTestSupport.h"

namespace {

using tavrin::test::rowName;

struct IpRow {
    const char *what;
    const char *ip;
    bool valid;  // util::isValidIP
    bool strict; // util::isIPv4Address
    friend void PrintTo(const IpRow &row, std::ostream *os) { *os << row.what; }
};

class IpCheckTest : public ::testing::TestWithParam<IpRow>
{
};

TEST_P(IpCheckTest, LenientAndStrict)
{
    const IpRow &row = GetParam();
    EXPECT_EQ(util::isValidIP(QString::fromUtf8(row.ip)), row.valid);
    EXPECT_EQ(util::isIPv4Address(QString::fromUtf8(row.ip)), row.strict);
}

const IpRow kIpRows[] = {
    {"plain address", "192.168.1.1", true, true},
    {"all zeros", "0.0.0.0", true, true},
    {"top octets", "255.255.255.255", true, true},
    {"letter piece reads as 0", "1.2.3.x", true, false},
    {"three pieces", "192.168.1", false, false},
    {"five pieces", "1.2.3.4.5", false, false},
    {"octet 256", "192.168.1.256", false, false},
    {"empty piece reads as 0", "1.2.3.", true, false},
    {"negative piece is not above 255", "-1.2.3.4", true, false},
    {"port attached", "192.168.1.20:9100", true, false},
    {"leading zero", "192.168.1.010", true, false},
    {"blank inside", "192.168.1. 5", true, false},
    {"shell text", "1.2.3.4;rm", true, false},
    {"empty", "", false, false},
    {"full-width digit", "1.2.3.\xef\xbc\x94", true, false},
};

INSTANTIATE_TEST_SUITE_P(Addresses, IpCheckTest, ::testing::ValuesIn(kIpRows), rowName<IpRow>);

struct RangeRow {
    const char *what;
    const char *start;
    const char *end;
    QStringList expected;
    friend void PrintTo(const RangeRow &row, std::ostream *os) { *os << row.what; }
};

class RangeAddressesTest : public ::testing::TestWithParam<RangeRow>
{
};

TEST_P(RangeAddressesTest, Walk)
{
    const RangeRow &row = GetParam();
    EXPECT_EQ(util::rangeAddresses(QString::fromUtf8(row.start), QString::fromUtf8(row.end)), row.expected);
}

const RangeRow kRangeRows[] = {
    {"one address when start equals end", "192.168.1.10", "10", {"192.168.1.10"}},
    {"end below start tries none", "192.168.1.10", "9", {}},
    {"three in order", "10.0.0.1", "3", {"10.0.0.1", "10.0.0.2", "10.0.0.3"}},
    {"end above 255 stops at 255", "10.0.0.254", "300", {"10.0.0.254", "10.0.0.255"}},
    {"end not a number reads as 0", "10.0.0.0", "x", {"10.0.0.0"}},
    {"start not an address", "10.0.0", "5", {}},
    {"start with a letter piece", "10.0.0.x", "5", {}},
};

INSTANTIATE_TEST_SUITE_P(Ranges, RangeAddressesTest, ::testing::ValuesIn(kRangeRows), rowName<RangeRow>);

TEST(RangeAddressesTest, FullRangeHas254Addresses)
{
    const QStringList all = util::rangeAddresses(QStringLiteral("198.18.7.1"), QStringLiteral("254"));
    ASSERT_EQ(all.size(), 254);
    EXPECT_EQ(all.front(), QStringLiteral("198.18.7.1"));
    EXPECT_EQ(all.back(), QStringLiteral("198.18.7.254"));
}

} // namespace
