// config::load against a program directory and a home of the test's own.

#include "platform/Crypto.h"
#include "platform/EncConst.h"
#include "storage/Config.h"
#include "storage/ProtectedFile.h"

#include <json/value.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class ConfigTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        // The test main gives each process a temporary program directory; never an installed one.
        ASSERT_TRUE(config::fileDir.startsWith("/tmp/tavrin-test-")) << config::fileDir.toStdString();
        QDir(config::fileDir).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(config::binDir));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        qputenv("USER", "alice");
        Itf::_itf_url = config::kProductionServiceUrl;
    }
    void TearDown() override { QDir(config::fileDir).removeRecursively(); }

    void writeIni(const QString &key, const QString &value)
    {
        QSettings ini(config::iniPath(), QSettings::IniFormat);
        ini.setValue(key, value);
    }

    QTemporaryDir home;
};

TEST_F(ConfigTest, DefaultsWithoutIniFile)
{
    config::load();
    EXPECT_EQ(Itf::_itf_url, config::kProductionServiceUrl);
    EXPECT_EQ(config::is_first_run, 1);
    EXPECT_EQ(config::ippTool, config::binDir + "dep1");
    EXPECT_EQ(config::m_ppdFile, "/usr/share/cups/model/com.kestrelware.tavrin/tavrin.ppd");
    EXPECT_EQ(config::binDir, config::fileDir + "/bin/");
    EXPECT_EQ(config::logDir, config::fileDir + "/logs/");
    EXPECT_EQ(config::clientVersion, "1.3.0.3");
}

TEST_F(ConfigTest, DebugSwitchIgnoresCaseButWantsYes)
{
    const struct {
        const char *value;
        bool testService;
    } cases[] = {{"YES", true}, {"yes", true}, {"Yes", true}, {"true", false}, {"NO", false}, {"1", false}};
    for (const auto &c : cases) {
        writeIni("Common/Debug", c.value);
        Itf::_itf_url = config::kProductionServiceUrl;
        config::load();
        EXPECT_EQ(Itf::_itf_url, c.testService ? config::kTestServiceUrl : config::kProductionServiceUrl) << c.value;
    }
}

TEST_F(ConfigTest, FirstRunFlag)
{
    const struct {
        const char *value;
        int expected;
    } cases[] = {{"0", 0}, {"1", 1}, {"7", 7}, {"abc", 0}, {"", 0}};
    for (const auto &c : cases) {
        writeIni("Common/FirstRun", c.value);
        config::load();
        EXPECT_EQ(config::is_first_run, c.expected) << c.value;
    }
}

TEST_F(ConfigTest, PrivateServiceUrlAndCa)
{
    writeIni("Common/Debug", "YES");
    writeIni("Common/ServiceUrl", "https://127.0.0.1:8443/tavrin/itf");
    writeIni("Common/ServiceCA", "/tmp/ca.pem");
    config::load();
    EXPECT_EQ(Itf::_itf_url, "https://127.0.0.1:8443/tavrin/itf/");
    EXPECT_EQ(config::serviceCA, "/tmp/ca.pem");
}

TEST_F(ConfigTest, ProtectedFilesArePerUserInAppData)
{
    config::load();
    const QString dir = home.path() + "/tavrinapp";
    EXPECT_EQ(config::_depC, dir + "/alice_depC");
    EXPECT_EQ(config::_depP, dir + "/alice_depP");

    qunsetenv("USER");
    config::load();
    EXPECT_EQ(config::_depC, dir + "/_depC");
    EXPECT_EQ(config::_depP, dir + "/_depP");
}

TEST_F(ConfigTest, MissingDataHomeIsCreated)
{
    const QString nested = home.path() + "/not/yet";
    qputenv("XDG_DATA_HOME", QFile::encodeName(nested));
    config::load();
    EXPECT_TRUE(QFile::exists(config::_depC)) << "a fresh account keeps its client id";
}

TEST_F(ConfigTest, ClientIdIsCreatedOnceAndKept)
{
    config::load();
    const QString first = config::clientId;
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$")
                    .match(first)
                    .hasMatch())
        << first.toStdString();

    const Json::Value stored = config::loadSecureJson(config::_depC);
    ASSERT_TRUE(stored.isObject());
    EXPECT_EQ(stored.getMemberNames(), std::vector<std::string>{"clientId"});
    EXPECT_EQ(stored["clientId"].asString(), first.toStdString());

    struct stat before{};
    ASSERT_EQ(::stat(QFile::encodeName(config::_depC).constData(), &before), 0);
    config::clientId.clear();
    config::load();
    struct stat after{};
    ASSERT_EQ(::stat(QFile::encodeName(config::_depC).constData(), &after), 0);
    EXPECT_EQ(config::clientId, first);
    EXPECT_EQ(before.st_ino, after.st_ino) << "the second start must not rewrite the file";
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

TEST_F(ConfigTest, SetValKeepsOtherKeysAndGetValReadsText)
{
    config::load();
    config::setVal("color", "blue");
    EXPECT_EQ(config::getVal("color"), "blue");
    EXPECT_EQ(config::getVal("clientId"), config::clientId);
    EXPECT_EQ(config::getVal("missing"), "");

    QFile::remove(config::_depC);
    EXPECT_EQ(config::getVal("clientId"), "");
}

TEST(ConfigGuid, NewGuidIsLowerCaseWithoutBraces)
{
    const QString a = config::newGUID();
    const QString b = config::newGUID();
    EXPECT_EQ(a.size(), 36);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, a.toLower());
    EXPECT_FALSE(a.contains('{'));
}

} // namespace
