// dep3, the object-storage tool: its argument and settings, and real
// transfers to the test service.

#include "ObjectRequest.h"

#include "cloud/CloudFixture.h"
#include "cloud/OSSUtil.h"
#include "platform/Command.h"
#include "storage/Config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

using tavrin::test::CloudFixture;

std::string arg(const char *clientId, const char *path, const char *object, bool get)
{
    return OSSUtil::argument(QString::fromUtf8(clientId), QString::fromUtf8(path), QString::fromUtf8(object), get)
        .toStdString();
}

TEST(Dep3Argument, AcceptsWhatTheProgramSendsAndNothingElse)
{
    const std::string good = arg("c1", "/tmp/a b.png", "广告/a b.png", true);
    const std::string sig = dep3::signature("c1", "/tmp/a b.png", "广告/a b.png");
    const struct {
        const char *what;
        std::string argument;
        bool ok;
        const char *error;
    } cases[] = {
        {"download", good, true, ""},
        {"upload", arg("c1", "/tmp/x.tar.gz", "x.tar.gz", false), true, ""},
        {"three fields", "c1|L3Q=|eA==", false, "got 3 fields"},
        {"six fields", good + "|get", false, "got 6 fields"},
        {"unknown operation", arg("c1", "/t", "x", false) + "|put", false, "unknown operation 'put'"},
        {"empty client", arg("", "/t", "x", false), false, "empty client id"},
        {"path not base64", "c1|L3Q!|eA==|" + dep3::signature("c1", "/t", "x"), false, "bad local path field"},
        {"path padding inside", "c1|L3Q=L3Q=|eA==|" + sig, false, "bad local path field"},
        {"empty object name", arg("c1", "/t", "", false), false, "bad object name field"},
        {"swapped fields", "c1|eA==|L3Q=|" + dep3::signature("c1", "/t", "x"), false, "signature mismatch"},
        {"other client", "c2" + good.substr(2), false, "signature mismatch"},
        {"upper-case digest",
         "c1|L3Q=|eA==|" + QString::fromStdString(dep3::signature("c1", "/t", "x")).toUpper().toStdString(), false,
         "signature mismatch"},
    };
    for (const auto &c : cases) {
        dep3::ObjectRequest r;
        std::string error;
        EXPECT_EQ(dep3::parseArgument(c.argument, r, error), c.ok) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
    dep3::ObjectRequest r;
    std::string error;
    ASSERT_TRUE(dep3::parseArgument(good, r, error));
    EXPECT_EQ(r.clientId, "c1");
    EXPECT_EQ(r.localPath, "/tmp/a b.png");
    EXPECT_EQ(r.objectName, "广告/a b.png");
    EXPECT_TRUE(r.get);
}

TEST(Dep3Argument, Base64IsStrict)
{
    const struct {
        const char *text;
        bool ok;
        const char *bytes;
    } cases[] = {
        {"", true, ""},
        {"YQ==", true, "a"},
        {"YWI=", true, "ab"},
        {"YWJj", true, "abc"},
        {"+/+/", true, "\xfb\xff\xbf"},
        {"YQ=", false, ""},
        {"Y===", false, ""},
        {"YQ==YQ==", false, ""},
        {"YW J", false, ""},
        {"YWJj\n", false, ""},
        {"-_-_", false, ""},
    };
    for (const auto &c : cases) {
        std::string out;
        EXPECT_EQ(dep3::b64decode(c.text, out), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(out, c.bytes) << c.text;
        }
    }
}

TEST(Dep3Settings, ReadsQtIniAndChoosesTheStore)
{
    const QString path = config::fileDir + QStringLiteral("/config.ini");
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Common/ServiceUrl"), QStringLiteral("https://127.0.0.1:4443/tavrin/itf/"));
        ini.setValue(QStringLiteral("Common/ServiceCA"), QStringLiteral("/tmp/a, b;c.pem"));
        ini.setValue(QStringLiteral("Common/FirstRun"), 0);
        ini.setValue(QStringLiteral("ModelUsage/bizhub C300i"), 3);
    }
    const auto values = dep3::readIni(path.toStdString());
    EXPECT_EQ(values.at("Common/ServiceUrl"), "https://127.0.0.1:4443/tavrin/itf/");
    EXPECT_EQ(values.at("Common/ServiceCA"), "/tmp/a, b;c.pem");
    EXPECT_EQ(values.at("Common/FirstRun"), "0");
    EXPECT_TRUE(dep3::readIni("/nonexistent/config.ini").empty());

    using Ini = std::map<std::string, std::string>;
    const struct {
        const char *what;
        Ini ini;
        const char *base;
    } cases[] = {
        {"explicit", {{"Common/ObjectStoreUrl", "https://store.example/b"}}, "https://store.example/b/"},
        {"explicit wins",
         {{"Common/ObjectStoreUrl", "https://s/"}, {"Common/ServiceUrl", "https://h/tavrin/itf/"}},
         "https://s/"},
        {"service host",
         {{"Common/ServiceUrl", "https://127.0.0.1:4443/tavrin/itf/"}},
         "https://127.0.0.1:4443/objects/"},
        {"test service", {{"Common/Debug", "yes"}}, "https://service-test.kestrelware.com/objects/"},
        {"production", {}, "https://service.kestrelware.com/objects/"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(dep3::objectStoreBase(c.ini), c.base) << c.what;
}

class Dep3Transfer : public CloudFixture
{
protected:
    util::CommandResult run(const std::string &argument)
    {
        util::CommandOptions o;
        o.mergeStderr = false;
        return util::runCommand(OSSUtil::toolPath(), {QString::fromStdString(argument)}, o);
    }
    QString local(const char *name) { return config::fileDir + QLatin1Char('/') + QString::fromUtf8(name); }
    void setIni(const char *key, const QString &value)
    {
        QSettings ini(config::iniPath(), QSettings::IniFormat);
        ini.setValue(QString::fromLatin1(key), value);
    }
};

TEST_F(Dep3Transfer, RoundTripOfOddNames)
{
    QByteArray bytes(300000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 31 + 7);
    QFile f(local("up.bin"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const char *name = "日志/c1-20240102-03:04:05 #1.tar.gz";
    const std::string up = local("up.bin").toStdString();
    util::CommandResult r = run(arg("c1", up.c_str(), name, false));
    EXPECT_TRUE(r.ok()) << r.errorOutput.toStdString();
    EXPECT_TRUE(r.output.startsWith("OK:put ")) << r.output.toStdString();
    EXPECT_EQ(store().get(name), bytes);

    const std::string down = local("下载.bin").toStdString();
    r = run(arg("c1", down.c_str(), name, true));
    EXPECT_TRUE(r.ok()) << r.errorOutput.toStdString();
    EXPECT_TRUE(r.output.startsWith("OK:get ")) << r.output.toStdString();
    QFile d(local("下载.bin"));
    ASSERT_TRUE(d.open(QIODevice::ReadOnly));
    EXPECT_EQ(d.readAll(), bytes);
    EXPECT_EQ(store().transfers(), QStringList({QStringLiteral("PUT ") + name, QStringLiteral("GET ") + name}));
}

// Every failure: a message on stderr, a non-zero status, and the local file as it was.
TEST_F(Dep3Transfer, FailuresKeepTheLocalFileAndSaySo)
{
    ASSERT_TRUE(store().put("pic.png", "new picture"));
    QFile f(local("pic.png"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old picture");
    f.close();
    const std::string path = local("pic.png").toStdString();

    struct Case {
        const char *what;
        std::function<void()> setup;
        std::string argument;
        int exitCode;
        const char *stderrHas;
    };
    const Case cases[] = {
        {"missing object", [] {}, arg("c1", path.c_str(), "gone.png", true), 6, "HTTP 404"},
        {"bad signature", [] {}, arg("c1", path.c_str(), "pic.png", true).replace(0, 2, "c9"), 2, "signature mismatch"},
        {"unknown CA", [&] { setIni("Common/ServiceCA", service().otherCa()); },
         arg("c1", path.c_str(), "pic.png", true), 5, "get pic.png"},
        {"plain HTTP store",
         [&] { setIni("Common/ObjectStoreUrl", QStringLiteral("http://127.0.0.1:%1/objects/").arg(service().port())); },
         arg("c1", path.c_str(), "pic.png", true), 5, "get pic.png"},
        {"nothing listens",
         [&] { setIni("Common/ObjectStoreUrl", QString::fromStdString(tavrin::test::TestService::unreachableUrl())); },
         arg("c1", path.c_str(), "pic.png", true), 5, "get pic.png"},
        {"no local file to upload", [] {}, arg("c1", "/nonexistent/x.tar.gz", "x.tar.gz", false), 4, "cannot read"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(tavrin::test::prepareProgramDir(service()));
        QSettings(config::iniPath(), QSettings::IniFormat).remove(QStringLiteral("Common/ObjectStoreUrl"));
        c.setup();
        const util::CommandResult r = run(c.argument);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.what;
        EXPECT_TRUE(r.errorOutput.startsWith("dep3: ")) << c.what;
        EXPECT_TRUE(r.errorOutput.contains(QString::fromLatin1(c.stderrHas)))
            << c.what << ": " << r.errorOutput.toStdString();
        EXPECT_EQ(r.output, "") << c.what;
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), "old picture") << c.what;
        f.close();
        EXPECT_EQ(QDir(config::fileDir).entryList({"pic.png.*"}, QDir::Files | QDir::Hidden), QStringList()) << c.what;
    }
    // Only the missing object reached the store; nothing went up.
    EXPECT_EQ(store().transfers(), QStringList({"GET gone.png"}));
}

// With an explicit store URL the service's host is not needed at all.
TEST_F(Dep3Transfer, ExplicitStoreUrl)
{
    QSettings ini(config::iniPath(), QSettings::IniFormat);
    ini.remove(QStringLiteral("Common/ServiceUrl"));
    ini.setValue(QStringLiteral("Common/ObjectStoreUrl"),
                 QStringLiteral("https://localhost:%1/objects").arg(service().port()));
    ini.sync();
    ASSERT_TRUE(store().put("a.gif", "GIF89a"));
    const std::string path = local("a.gif").toStdString();
    const util::CommandResult r = run(arg("c1", path.c_str(), "a.gif", true));
    EXPECT_TRUE(r.ok()) << r.errorOutput.toStdString();
    EXPECT_TRUE(QFileInfo(local("a.gif")).isFile());
}

} // namespace
