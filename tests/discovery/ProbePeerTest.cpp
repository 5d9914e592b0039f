// The whole probe against the simulated printers: IPP through dep1 (ipptool)
// and SNMP through dep2 (snmpget), one printer per brand rule, a model that
// answers as a hex dump, and a printer that refuses IPP 2.0.

#include "discovery/IppProbe.h"
#include "discovery/PrinterProbe.h"
#include "discovery/SnmpIdentity.h"

#include "DiscoveryTestSupport.h"
#include "DiscoveryTools.h"
#include "FleetState.h"

#include <QTemporaryDir>

namespace {

using namespace tavrin::test;

class FleetPeerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_fleet = loadFleet("discovery"); }

    void SetUp() override
    {
        ASSERT_TRUE(s_fleet.error.isEmpty()) << s_fleet.error.toStdString();
        ASSERT_TRUE(installTools());
        config::clientId = QStringLiteral("c0ffee00-0000-4000-8000-0000000000aa");
    }

    static const FleetPrinter &printer(const char *name)
    {
        const FleetPrinter *p = s_fleet.find(QString::fromLatin1(name));
        EXPECT_NE(p, nullptr) << name;
        static const FleetPrinter none;
        return p ? *p : none;
    }

    static inline FleetState s_fleet;
};

class ProbePeerTest : public FleetPeerTest, public ::testing::WithParamInterface<const char *>
{
};

// Expected values are the fleet's: worked out by hand from each printer's
// SNMP objects and IPP attributes (harness presets).
TEST_P(ProbePeerTest, RecordMatchesThePrinter)
{
    const FleetPrinter &fp = printer(GetParam());
    const Printer p = util::getPrinterInfoByIP(fp.ip);

    EXPECT_EQ(p.deviceBrandCode, fp.expected("brand_code"));
    EXPECT_EQ(p.deviceModel, fp.expected("model"));
    EXPECT_EQ(p.deviceSerialNumber, fp.expected("serial"));
    EXPECT_EQ(p.colorMode, fp.expected("color_mode"));
    EXPECT_EQ(p.deviceDocType, fp.expected("doc_type"));
    EXPECT_EQ(p.m_ipp_version, fp.expected("ipp_version"));

    EXPECT_EQ(p.deviceName, fp.name); // the IPP printer-name
    EXPECT_EQ(p.deviceIpAddress, fp.ip);
    EXPECT_EQ(p.clientId, config::clientId);
    EXPECT_EQ(p.deviceId.size(), 36);
    EXPECT_FALSE(p.documentFormatSupported.isEmpty());
    EXPECT_FALSE(p.mediaSourceSupported.isEmpty());
    EXPECT_TRUE(p.isFav.isEmpty());
    EXPECT_EQ(p.m_modified_time, 0);
}

INSTANTIATE_TEST_SUITE_P(Fleet, ProbePeerTest,
                         ::testing::Values("hp", "toshiba", "xerox", "km", "km-aurora", "sharp", "lexmark-pantum",
                                           "pantum", "epson", "unknown", "hexmodel", "ladder", "nosnmp"),
                         [](const ::testing::TestParamInfo<const char *> &info) { return caseName(info.param); });

TEST_F(FleetPeerTest, RefusedVersionIsAskedAgainOneStepLower)
{
    QTemporaryDir records;
    ASSERT_TRUE(recordTool("dep1", records.path()));
    const DepPrinterAttrs attrs = util::depGetAttr(printer("ladder").ip);
    EXPECT_EQ(attrs.ippVersion, QStringLiteral("VERSION 1.1"));
    EXPECT_EQ(recordedRuns(records.path()), 2);
    EXPECT_EQ(attrs.printerMakeAndModel, QStringLiteral("Kyocera ECOSYS P3145dn"));
}

TEST_F(FleetPeerTest, PrinterOfIpp2IsAskedOnce)
{
    QTemporaryDir records;
    ASSERT_TRUE(recordTool("dep1", records.path()));
    const DepPrinterAttrs attrs = util::depGetAttr(printer("hp").ip);
    EXPECT_EQ(attrs.ippVersion, QStringLiteral("VERSION 2.0"));
    EXPECT_EQ(recordedRuns(records.path()), 1);
    EXPECT_EQ(attrs.printerName, QStringLiteral("hp"));
    EXPECT_EQ(attrs.printerMakeAndModel, QStringLiteral("HP LaserJet Pro M404dn"));
    EXPECT_TRUE(attrs.documentFormatSupported.contains(QStringLiteral("application/pdf")));
    EXPECT_TRUE(attrs.documentFormatSupported.contains(QStringLiteral("image/urf")));
}

TEST_F(FleetPeerTest, HexDumpModelFallsBackToSysName)
{
    // The Printer-MIB name holds GB2312 bytes that dep2 prints as a dump over two lines.
    const QString raw = util::snmpGetOIDRaw(printer("hexmodel").ip, QStringLiteral("1.3.6.1.2.1.43.5.1.1.16.1"));
    EXPECT_TRUE(raw.contains(QLatin1Char('\n'))) << raw.toStdString();
    EXPECT_TRUE(washSnmpModelName(raw).isEmpty()) << raw.toStdString();
    EXPECT_EQ(util::snnpGetModelName(printer("hexmodel").ip), QStringLiteral("Brother HL-L8360CDW series"));
}

TEST_F(FleetPeerTest, PantumThroughLexmarkReadsLexmarksSerialObject)
{
    bool mark = false;
    EXPECT_EQ(util::snmpGetBrandCode(printer("lexmark-pantum").ip, mark), QStringLiteral("18"));
    EXPECT_TRUE(mark);
    EXPECT_EQ(util::snmpGetSerialNo(QStringLiteral("18"), printer("lexmark-pantum").ip, mark),
              QStringLiteral("CB2Y012345"));
    EXPECT_EQ(util::snmpGetSerialNo(QStringLiteral("18"), printer("lexmark-pantum").ip, false),
              QStringLiteral("PANTUM0641"));
}

} // namespace
