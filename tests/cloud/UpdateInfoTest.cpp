// The version check's answer, read as the update windows need it.

#include "cloud/UpdateInfo.h"

#include "cloud/CloudFixture.h"
#include "cloud/Itf.h"
#include "storage/Config.h"

#include <gtest/gtest.h>

namespace {

using tavrin::test::ServiceFixture;

struct Answer {
    const char *text;
    bool needUpdate;
    bool forceUpdate;
    const char *packageName;
    const char *note;
};

// Our version is 1.3.0.3.
const Answer kAnswers[] = {
    {"OK:1.3.0.3,NO,pkg.deb", false, false, "pkg.deb", ""},        // equal version
    {"OK:1.3.0.2,yes,pkg.deb", true, true, "pkg.deb", "V1.3.0.2"}, // older counts, force ignores case
    {"OK:1.3.0.4,NO,tavrin.deb", true, false, "tavrin.deb", "V1.3.0.4"},
    {"OK:1.3.0.4,NO", false, false, "", ""},             // two fields
    {"OK:1.3.0.4,NO,a.deb,extra", false, false, "", ""}, // four fields
    {"ok:1.3.0.4,NO,pkg.deb", false, false, "", ""},     // lower-case prefix
    {"OK:,YES,pkg.deb", false, true, "pkg.deb", ""},     // empty version
    {"OK:1.3.0.4,YES,", true, true, "", "V1.3.0.4"},     // empty package name kept empty
    {"cerr:Couldn't connect to server, code:7", false, false, "", ""},
    {"", false, false, "", ""},
};

TEST(UpdateAnswer, ReadAgainstOurVersion)
{
    for (const Answer &a : kAnswers) {
        const UpdateInfo info = util::parseUpdateAnswer(QString::fromUtf8(a.text), config::clientVersion);
        EXPECT_EQ(info.needUpdate, a.needUpdate) << a.text;
        EXPECT_EQ(info.forceUpdate, a.forceUpdate) << a.text;
        EXPECT_EQ(info.packageName, QString::fromUtf8(a.packageName)) << a.text;
        EXPECT_EQ(info.note, QString::fromUtf8(a.note)) << a.text;
    }
    // Versions compare ignoring letter case.
    EXPECT_FALSE(
        util::parseUpdateAnswer(QStringLiteral("OK:1.3.0.3-RC,NO,p"), QStringLiteral("1.3.0.3-rc")).needUpdate);
}

class UpdateCheck : public ServiceFixture
{
};

TEST_F(UpdateCheck, AsksTheServiceWithOurClientId)
{
    config::clientId = QStringLiteral("a0b1c2d3-e4f5-4a6b-8c7d-9e0f1a2b3c4d");
    ASSERT_TRUE(service().queue("license/checkVersion", "OK:1.4.0.0,YES,tavrin_1.4.0.0_amd64.deb"));
    const UpdateInfo info = util::getUpdateInfo();
    EXPECT_TRUE(info.needUpdate);
    EXPECT_TRUE(info.forceUpdate);
    EXPECT_EQ(info.packageName, "tavrin_1.4.0.0_amd64.deb");
    const Json::Value got = service().requests("license/checkVersion");
    ASSERT_EQ(got.size(), 1u);
    Json::Value expected(Json::objectValue);
    expected["clientId"] = "a0b1c2d3-e4f5-4a6b-8c7d-9e0f1a2b3c4d";
    EXPECT_EQ(got[0]["payload"], expected);

    Itf::_itf_url = tavrin::test::TestService::unreachableUrl();
    const UpdateInfo none = util::getUpdateInfo();
    EXPECT_FALSE(none.needUpdate);
    EXPECT_FALSE(none.forceUpdate);
}

TEST(ForcedUpdateMark, IgnoresLetterCase)
{
    for (const char *text : {"FORCE_UPDATE", "force_update"}) {
        gFatalError = QString::fromLatin1(text);
        EXPECT_TRUE(util::forcedUpdatePending()) << text;
    }
    for (const char *text : {"", "FORCE_UPDATE ", "打印机离线"}) {
        gFatalError = QString::fromUtf8(text);
        EXPECT_FALSE(util::forcedUpdatePending()) << text;
    }
}

} // namespace
