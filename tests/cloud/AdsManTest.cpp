// Advertisements: the record's rules, reading the service's answer, and the
// refresh against the test service with the pictures fetched by dep3.

#include "cloud/adsMan.h"

#include "cloud/CloudFixture.h"
#include "cloud/Itf.h"
#include "storage/Config.h"

#include <json/reader.h>
#include <json/writer.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using tavrin::test::CloudFixture;
using tavrin::test::letterPicture;

TEST(AdItemRules, HoursAreClampedToWhatTheTimerTakes)
{
    const struct {
        const char *text;
        int hours;
    } cases[] = {
        {" 2 ", 2},
        {"4", 4},
        {"596", 596}, // 596 h = 2,145,600,000 ms, the last hour below 2^31 ms
        {"597", 596},
        {"100000", 596},
        {"99999999999999999999", 596},
        {"0", 1},
        {"-3", 1},
        {"abc", 1},
        {"2.5", 1},
        {"-99999999999999999999", 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AdItem::clampHours(QString::fromLatin1(c.text)), c.hours) << c.text;
    AdItem item;
    item.img4Intervals = 2;
    EXPECT_EQ(item.intervalMs(), 7200000);
    item.img4Intervals = 596;
    EXPECT_EQ(item.intervalMs(), 2145600000);
}

// Which banner shows an entry and where its click leads.
TEST(AdItemRules, PlacesAndClicks)
{
    const QString maker = QString::fromLatin1(kMakerWebSite);
    AdItem full;
    full.linkAddress = QStringLiteral("https://ads.example/a");
    full.imageName1 = QStringLiteral("/c/1");
    full.imageName2 = QStringLiteral("/c/2");
    full.imageName3 = QStringLiteral("/c/3");
    full.imageName4 = QStringLiteral("/c/4");
    AdItem noLink = full;
    noLink.linkAddress.clear();
    AdItem noPictures;
    noPictures.linkAddress = full.linkAddress;

    const struct {
        const char *what;
        const AdItem &item;
        AdItem::AdLocation loc;
        bool shows;
        QString click;
    } cases[] = {
        {"full, main", full, AdItem::MainWindowBanner, true, full.linkAddress},
        {"full, chooser", full, AdItem::ChooserBanner, true, full.linkAddress},
        {"full, popup", full, AdItem::PopupBanner, true, full.linkAddress},
        {"full, period", full, AdItem::PeriodWindow, true, full.linkAddress},
        {"no link, main", noLink, AdItem::MainWindowBanner, false, maker},
        {"no link, chooser", noLink, AdItem::ChooserBanner, false, maker},
        {"no link, popup", noLink, AdItem::PopupBanner, true, maker},
        {"no link, period", noLink, AdItem::PeriodWindow, false, maker},
        {"no pictures, main", noPictures, AdItem::MainWindowBanner, false, maker},
        {"no pictures, popup", noPictures, AdItem::PopupBanner, false, full.linkAddress},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.item.showsAt(c.loc), c.shows) << c.what;
        EXPECT_EQ(c.item.clickUrl(c.loc), c.click) << c.what;
    }
}

Json::Value parse(const char *text)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value v;
    std::string errors;
    reader->parse(text, text + std::strlen(text), &v, &errors);
    return v;
}

TEST(AdEntries, MembersAreReadAsText)
{
    const QList<AdEntry> entries = adsMan::parseEntries(parse(R"([
        1, "text", null, [],
        {"adId": 7, "linkAddress": "https://x/", "imageName1": "a.png", "imageName2": null,
         "imageName3": {"n": 1}, "imageName4": ["b"], "img4Intervals": 3},
        {"adId": "b", "img4Intervals": " 2 "},
        {}
    ])"));
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].adId, "7");
    EXPECT_EQ(entries[0].linkAddress, "https://x/");
    EXPECT_EQ(entries[0].objectNames[0], "a.png");
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(entries[0].objectNames[k], "") << k;
    EXPECT_EQ(entries[0].hours, "3");
    EXPECT_EQ(entries[1].hours, "2");
    EXPECT_EQ(entries[2].adId, "");
    EXPECT_EQ(entries[2].hours, "");
    for (const char *notAList : {"null", "{\"adId\": \"a\"}", "\"OK\""})
        EXPECT_TRUE(adsMan::parseEntries(parse(notAList)).isEmpty()) << notAList;
}

TEST(AdEntries, CachePathsStayInTheCacheDirectory)
{
    const QString dir = adsMan::cacheDir();
    EXPECT_EQ(dir, QDir::cleanPath(config::binDir) + QStringLiteral("/ads/"));
    EXPECT_EQ(adsMan::cachePath(QStringLiteral("a1.png")), dir + QStringLiteral("a1.png"));
    EXPECT_EQ(adsMan::cachePath(QStringLiteral("../../evil")), dir + QStringLiteral("..%2F..%2Fevil"));
    EXPECT_EQ(adsMan::cachePath(QStringLiteral("2024/春节.gif")),
              dir + QStringLiteral("2024%2F%E6%98%A5%E8%8A%82.gif"));
    for (const char *none : {"", ".", ".."})
        EXPECT_EQ(adsMan::cachePath(QString::fromLatin1(none)), QString()) << none;
}

class AdsRefresh : public CloudFixture
{
protected:
    // An entry whose pictures are <id>1.png .. <id>4.png, each put into the store.
    Json::Value entry(const std::string &id, bool withLink = true, const char *hours = nullptr)
    {
        Json::Value e(Json::objectValue);
        e["adId"] = id;
        e["linkAddress"] = withLink ? "https://ads.example/" + id : "";
        for (int k = 1; k <= 4; ++k) {
            const std::string name = id + std::to_string(k) + ".png";
            e["imageName" + std::to_string(k)] = name;
            EXPECT_TRUE(store().put(name, letterPicture(QString::fromStdString(id) + QString::number(k))));
        }
        if (hours)
            e["img4Intervals"] = hours;
        return e;
    }

    void answer(const Json::Value &entries)
    {
        Json::StreamWriterBuilder w;
        w["indentation"] = "";
        ASSERT_TRUE(service().queue("license/advertisement", "OK:" + Json::writeString(w, entries)));
    }

    static Json::Value list(std::initializer_list<Json::Value> items)
    {
        Json::Value out(Json::arrayValue);
        for (const Json::Value &i : items)
            out.append(i);
        return out;
    }

    static QStringList ids()
    {
        QStringList out;
        for (const AdItem &i : adsMan::items())
            out << i.adId;
        return out;
    }

    static QStringList cached() { return QDir(adsMan::cacheDir()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    static QStringList turns(AdItem::AdLocation loc, int n)
    {
        QStringList out;
        for (int i = 0; i < n; ++i)
            out << adsMan::GetOne(loc).adId;
        return out;
    }
};

TEST_F(AdsRefresh, PicturesArriveThroughDep3AndEachPlaceTakesItsTurn)
{
    answer(list({entry("A"), entry("B"), entry("C")}));
    adsMan::RefreshAdsListFromCloud();

    ASSERT_EQ(ids(), QStringList({"A", "B", "C"}));
    const AdItem a = adsMan::items().first();
    const QString dir = adsMan::cacheDir();
    EXPECT_EQ(a.imageName1, dir + "A1.png");
    EXPECT_EQ(a.imageName2, dir + "A2.png");
    EXPECT_EQ(a.imageName3, dir + "A3.png");
    EXPECT_EQ(a.imageName4, dir + "A4.png");
    EXPECT_EQ(a.img4Intervals, 4);
    QFile picture(a.imageName3);
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    EXPECT_EQ(picture.readAll(), store().get("A3.png"));
    QStringList gets;
    for (const char *id : {"A", "B", "C"})
        for (int k = 1; k <= 4; ++k)
            gets << QStringLiteral("GET %1%2.png").arg(QLatin1String(id)).arg(k);
    EXPECT_EQ(store().transfers(), gets);
    EXPECT_EQ(cached().size(), 12);
    EXPECT_EQ(service().requests("license/advertisement")[0]["payload"]["clientId"].asString(), "c1");

    // The main window walks A, B, C, A; the chooser, opened meanwhile, starts its own turn with A.
    EXPECT_EQ(turns(AdItem::MainWindowBanner, 2), QStringList({"A", "B"}));
    EXPECT_EQ(turns(AdItem::ChooserBanner, 1), QStringList({"A"}));
    EXPECT_EQ(turns(AdItem::MainWindowBanner, 2), QStringList({"C", "A"}));
    EXPECT_EQ(turns(AdItem::ChooserBanner, 3), QStringList({"B", "C", "A"}));
    EXPECT_EQ(turns(AdItem::PopupBanner, 1), QStringList({"A"}));
    EXPECT_EQ(turns(AdItem::PeriodWindow, 4), QStringList({"A", "B", "C", "A"}));

    // A refresh starts every place from the first entry again.
    answer(list({entry("A"), entry("B"), entry("C")}));
    adsMan::RefreshAdsListFromCloud();
    EXPECT_EQ(turns(AdItem::MainWindowBanner, 1), QStringList({"A"}));
}

TEST_F(AdsRefresh, AnEntryWithoutLinkShowsOnlyInTheNotification)
{
    answer(list({entry("N", false)}));
    adsMan::RefreshAdsListFromCloud();
    for (AdItem::AdLocation loc : {AdItem::MainWindowBanner, AdItem::ChooserBanner, AdItem::PeriodWindow}) {
        const AdItem got = adsMan::GetOne(loc);
        EXPECT_EQ(got.adId, "N");
        EXPECT_FALSE(got.showsAt(loc)) << loc;
        EXPECT_EQ(got.clickUrl(loc), QString::fromLatin1(kMakerWebSite)) << loc;
    }
    const AdItem popup = adsMan::GetOne(AdItem::PopupBanner);
    EXPECT_TRUE(popup.showsAt(AdItem::PopupBanner));
    EXPECT_EQ(popup.imageFor(AdItem::PopupBanner), adsMan::cacheDir() + "N3.png");
    EXPECT_EQ(popup.clickUrl(AdItem::PopupBanner), QString::fromLatin1(kMakerWebSite));
}

TEST_F(AdsRefresh, HoursOfThePeriodicWindow)
{
    Json::Value number = entry("D");
    number["img4Intervals"] = 3;
    Json::Value nullHours = entry("F");
    nullHours["img4Intervals"] = Json::Value();
    answer(list(
        {entry("S", true, " 2 "), number, entry("Z", true, "0"), entry("H", true, "9999"), nullHours, entry("E")}));
    adsMan::RefreshAdsListFromCloud();
    QList<int> hours;
    for (const AdItem &i : adsMan::items())
        hours << i.img4Intervals;
    EXPECT_EQ(hours, QList<int>({2, 3, 1, 596, 4, 4}));
    EXPECT_EQ(adsMan::items().first().intervalMs(), 2 * 3600000);
}

TEST_F(AdsRefresh, ARefreshThatDropsAnEntryDeletesItsPictures)
{
    answer(list({entry("A"), entry("B"), entry("C")}));
    adsMan::RefreshAdsListFromCloud();
    ASSERT_TRUE(cached().contains("B1.png"));
    QFile stray(adsMan::cacheDir() + "stray.gif");
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.close();

    answer(list({entry("A"), entry("C")}));
    adsMan::RefreshAdsListFromCloud();
    EXPECT_EQ(ids(), QStringList({"A", "C"}));
    EXPECT_EQ(cached(), QStringList({"A1.png", "A2.png", "A3.png", "A4.png", "C1.png", "C2.png", "C3.png", "C4.png"}));
}

TEST_F(AdsRefresh, AnAnswerWithoutEntriesKeepsTheListAndItsPictures)
{
    answer(list({entry("A"), entry("B")}));
    adsMan::RefreshAdsListFromCloud();
    EXPECT_EQ(turns(AdItem::MainWindowBanner, 1), QStringList({"A"}));
    const QStringList before = cached();
    ASSERT_EQ(before.size(), 8);

    ASSERT_TRUE(service().script("license/advertisement",
                                 list({"OK:[]", "FAIL:NoAds", "OK:{\"adId\":\"X\"}", "OK:[1, 2]", "OK:not json"})));
    for (int i = 0; i < 5; ++i) {
        adsMan::RefreshAdsListFromCloud();
        EXPECT_EQ(ids(), QStringList({"A", "B"})) << i;
        EXPECT_EQ(cached(), before) << i;
    }
    // The rotation goes on where it was.
    EXPECT_EQ(turns(AdItem::MainWindowBanner, 1), QStringList({"B"}));
}

TEST_F(AdsRefresh, BadPictureNamesNeverReachOutsideTheCache)
{
    Json::Value e = entry("A");
    e["imageName2"] = "";
    e["imageName3"] = "../escape.png";
    e["imageName4"] = "..";
    ASSERT_TRUE(store().put("../escape.png", letterPicture("X")));
    answer(list({e}));
    adsMan::RefreshAdsListFromCloud();

    ASSERT_EQ(ids(), QStringList({"A"}));
    const AdItem a = adsMan::items().first();
    EXPECT_EQ(a.imageName1, adsMan::cacheDir() + "A1.png");
    EXPECT_EQ(a.imageName2, "");
    EXPECT_EQ(a.imageName3, adsMan::cacheDir() + "..%2Fescape.png");
    EXPECT_EQ(a.imageName4, "");
    EXPECT_TRUE(QFileInfo(adsMan::cacheDir()).isDir());
    EXPECT_FALSE(QFileInfo::exists(config::binDir + "escape.png"));
    EXPECT_EQ(store().transfers(), QStringList({"GET A1.png", "GET ../escape.png"}));
}

// A picture that is not there leaves its place empty; the entry stays.
TEST_F(AdsRefresh, AMissingPictureLeavesOnlyItsPlaceEmpty)
{
    Json::Value e = entry("A");
    e["imageName2"] = "gone.png";
    answer(list({e}));
    adsMan::RefreshAdsListFromCloud();
    ASSERT_EQ(ids(), QStringList({"A"}));
    const AdItem a = adsMan::items().first();
    EXPECT_EQ(a.imageName2, "");
    EXPECT_FALSE(a.showsAt(AdItem::ChooserBanner));
    EXPECT_TRUE(a.showsAt(AdItem::MainWindowBanner));
    EXPECT_EQ(cached(), QStringList({"A1.png", "A3.png", "A4.png"}));
}

TEST(AdsEmpty, GetOneWithoutListGivesADefaultItem)
{
    const AdItem none = adsMan::GetOne(AdItem::MainWindowBanner);
    EXPECT_EQ(none.adId, "");
    EXPECT_FALSE(none.showsAt(AdItem::MainWindowBanner));
    EXPECT_EQ(none.img4Intervals, 4);
}

} // namespace
