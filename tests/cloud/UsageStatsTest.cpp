// Successful prints per model in config.ini, and the one report to the service
// on the print after the twentieth.

#include "cloud/UsageStats.h"

#include "service/ServiceFixture.h"
#include "storage/Config.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

#include <ostream>

namespace {

using tavrin::test::ServiceFixture;
using tavrin::test::TestService;

const QString kModel = QStringLiteral("HP LaserJet Pro M404dn");
const QString kKey = QStringLiteral("ModelUsage/") + kModel;

struct CountCase {
    const char *what;
    int before;          // -1: no counter yet
    const char *service; // "up" (replies with `reply`) or "down"
    const char *reply;
    int after;
    int reports; // requests that reached the service
};

void PrintTo(const CountCase &row, std::ostream *os)
{
    *os << row.what;
}

const CountCase kCases[] = {
    {"first print", -1, "up", "OK:", 1, 0},
    {"nineteen to twenty sends nothing", 19, "up", "OK:", 20, 0},
    {"twenty reports, OK moves on", 20, "up", "OK:", 21, 1},
    {"OK without colon counts as acknowledged", 20, "up", "OK", 21, 1},
    {"refused report stays due", 20, "up", "FAIL:Later", 20, 1},
    {"lower-case ok is no acknowledgement", 20, "up", "ok:", 20, 1},
    {"service down stays due", 20, "down", "", 20, 0},
    {"reported models no longer change", 21, "up", "OK:", 21, 0},
    {"higher counts no longer change", 35, "up", "OK:", 35, 0},
};

class PrintOKCount : public ServiceFixture, public ::testing::WithParamInterface<CountCase>
{
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(config::binDir));
        QFile::remove(config::iniPath());
    }
};

TEST_P(PrintOKCount, CountsAndReports)
{
    const CountCase &c = GetParam();
    if (c.before >= 0) {
        QSettings ini(config::iniPath(), QSettings::IniFormat);
        ini.setValue(kKey, c.before);
    }
    if (std::string(c.service) == "down")
        Itf::_itf_url = TestService::unreachableUrl();
    else
        ASSERT_TRUE(service().queue("license/uploadStatisticsDeviceModel", c.reply));

    util::printOKCount(QStringLiteral("dev-1"), kModel);

    QSettings ini(config::iniPath(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(kKey).toInt(), c.after);
    const Json::Value sent = service().requests("license/uploadStatisticsDeviceModel");
    ASSERT_EQ(sent.size(), static_cast<unsigned>(c.reports));
    if (c.reports) {
        EXPECT_EQ(sent[0]["payload"]["deviceModel"].asString(), kModel.toStdString());
        EXPECT_EQ(sent[0]["payload"]["deviceId"].asString(), "dev-1");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PrintOKCount, ::testing::ValuesIn(kCases), [](const auto &info) {
    std::string name;
    for (const char *p = info.param.what; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

// Twenty-one prints in a row: one report, on the twenty-first; the file keeps
// the counters as a ModelUsage group next to the other settings.
TEST_F(PrintOKCount, TwentyOnePrintsGiveOneReport)
{
    {
        QSettings ini(config::iniPath(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Common/FirstRun"), 0);
    }
    for (int i = 1; i <= 21; ++i) {
        util::printOKCount(QStringLiteral("dev-%1").arg(i), kModel);
        EXPECT_EQ(service().requests().size(), i == 21 ? 1u : 0u) << "print " << i;
    }
    util::printOKCount(QStringLiteral("dev-22"), kModel);
    util::printOKCount(QStringLiteral("dev-22"), QStringLiteral("Other model"));
    EXPECT_EQ(service().requests().size(), 1u);
    EXPECT_EQ(service().requests()[0]["payload"]["deviceId"].asString(), "dev-21");

    QSettings ini(config::iniPath(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(kKey).toInt(), 21);
    EXPECT_EQ(ini.value(QStringLiteral("ModelUsage/Other model")).toInt(), 1);
    EXPECT_EQ(ini.value(QStringLiteral("Common/FirstRun")).toInt(), 0);
    ini.beginGroup(QStringLiteral("ModelUsage"));
    EXPECT_EQ(ini.childKeys().size(), 2);
}

} // namespace
