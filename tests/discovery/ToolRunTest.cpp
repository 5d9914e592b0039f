// How dep1 and dep2 are run: the exact arguments, the ladder's scripts in
// temporary files that do not outlive their attempt, nothing run for a text
// that is not an address, and a printer whose SNMP agent stays silent.

#include "discovery/IppProbe.h"
#include "discovery/PrinterProbe.h"
#include "discovery/Reachability.h"
#include "discovery/SnmpIdentity.h"

#include "DiscoveryTestSupport.h"
#include "DiscoveryTools.h"

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using namespace tavrin::test;

// Nothing listens there: a loopback address other than the one local
// services bind to.
const QString kNobody = QStringLiteral("127.0.0.2");

class ToolRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_records.isValid());
        ASSERT_TRUE(installTools());
        ASSERT_TRUE(recordTool("dep1", m_records.path()));
        ASSERT_TRUE(recordTool("dep2", m_records.path()));
        ASSERT_FALSE(util::tcpProbe(kNobody, 631, 1000)) << "something listens on 127.0.0.2:631";
    }

    QString script(int run) const
    {
        QFile file(m_records.filePath(QStringLiteral("%1.script").arg(run)));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir m_records;
};

TEST_F(ToolRunTest, LadderRunsThreeAttemptsWhenNothingAnswers)
{
    const DepPrinterAttrs attrs = util::depGetAttr(kNobody);
    ASSERT_EQ(recordedRuns(m_records.path()), 3);
    const char *versions[] = {"VERSION 2.0", "VERSION 1.1", "VERSION 1.0"};
    for (int run = 0; run < 3; ++run) {
        const QStringList args = recordedArgs(m_records.path(), run);
        ASSERT_EQ(args.size(), 4) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(args.mid(0, 3), (QStringList{"-t", "-v", "ipp://127.0.0.2/"}));
        EXPECT_FALSE(QFileInfo::exists(args.at(3))) << "the attempt's script outlived it";
        EXPECT_TRUE(script(run).contains(QString::fromLatin1(versions[run]))) << run;
        EXPECT_EQ(script(run).count(QStringLiteral("VERSION")), 1);
    }
    EXPECT_TRUE(attrs.ippVersion.isEmpty());
    EXPECT_TRUE(attrs.printerName.isEmpty());
    EXPECT_TRUE(attrs.documentFormatSupported.isEmpty());
}

TEST_F(ToolRunTest, SnmpGetArguments)
{
    util::snmpGetOIDRaw(kNobody, QStringLiteral("1.3.6.1.2.1.1.2.0"));
    ASSERT_EQ(recordedRuns(m_records.path()), 1);
    EXPECT_EQ(recordedArgs(m_records.path(), 0),
              (QStringList{"-v", "1", "-c", "public", "127.0.0.2", "1.3.6.1.2.1.1.2.0", "-O", "vq"}));
}

TEST_F(ToolRunTest, TextsThatAreNoAddressReachNoTool)
{
    const QString marker = m_records.filePath(QStringLiteral("touched"));
    const QStringList hostile = {QStringLiteral("1.2.3.4;touch ") + marker,
                                 QStringLiteral("$(touch ") + marker + QStringLiteral(")"), QStringLiteral("1.2.3.x"),
                                 QStringLiteral("127.0.0.1 -c private"), QString()};
    for (const QString &ip : hostile) {
        EXPECT_TRUE(util::depGetAttr(ip).printerName.isEmpty());
        EXPECT_TRUE(util::snmpGetOIDRaw(ip, QStringLiteral("1.3.6.1.2.1.1.1.0")).isEmpty());
        const Printer p = util::getPrinterInfoByIP(ip);
        EXPECT_EQ(p.deviceBrandCode, QStringLiteral("00"));
        EXPECT_EQ(p.deviceDocType, QStringLiteral("Unknow"));
    }
    EXPECT_EQ(recordedRuns(m_records.path()), 0);
    EXPECT_FALSE(QFileInfo::exists(marker));
}

TEST_F(ToolRunTest, SilentPrinterGivesAnUnknownRecordAndOneSnmpWait)
{
    config::clientId = QStringLiteral("c0ffee00-0000-4000-8000-000000000042");
    const Printer p = util::getPrinterInfoByIP(kNobody);

    int dep1Runs = 0;
    int dep2Runs = 0;
    for (int run = 0; run < recordedRuns(m_records.path()); ++run)
        (recordedArgs(m_records.path(), run).value(0) == QLatin1String("-t") ? dep1Runs : dep2Runs)++;
    EXPECT_EQ(dep1Runs, 3);
    EXPECT_EQ(dep2Runs, 1) << "a silent agent is asked once, not five times";

    EXPECT_EQ(p.deviceIpAddress, kNobody);
    EXPECT_EQ(p.deviceId.size(), 36);
    EXPECT_EQ(p.clientId, config::clientId);
    EXPECT_EQ(p.deviceBrandCode, QStringLiteral("00"));
    EXPECT_EQ(p.deviceDocType, QStringLiteral("Unknow"));
    EXPECT_EQ(p.colorMode, QStringLiteral("Mono"));
    EXPECT_TRUE(p.deviceName.isEmpty());
    EXPECT_TRUE(p.deviceModel.isEmpty());
    EXPECT_TRUE(p.deviceSerialNumber.isEmpty());
    EXPECT_TRUE(p.m_ipp_version.isEmpty());
    EXPECT_TRUE(p.isFav.isEmpty());
    EXPECT_EQ(p.m_modified_time, 0);
}

} // namespace
