// The advertisement banner and the periodic advertisement window, with
// pictures fetched through dep3 from the test service.

#include "ui/AdsLabel.h"
#include "ui/AdvertiPeriod.h"
#include "ui/PrinterWindow.h"

#include "cloud/CloudFixture.h"
#include "cloud/adsMan.h"
#include "storage/Config.h"
#include "ui/CloudUiSupport.h"

#include <json/writer.h>

#include <QDesktopWidget>
#include <QDir>
#include <QImage>
#include <QMovie>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using namespace tavrin::cloudui;
using tavrin::test::CloudFixture;
using tavrin::test::letterPicture;

class AdsWindows : public CloudFixture
{
protected:
    void SetUp() override
    {
        CloudFixture::SetUp();
        initTavrinResources();
    }

    // Entry <id> with pictures for the four places at their banner sizes.
    Json::Value entry(const std::string &id, bool withLink = true, const char *hours = nullptr)
    {
        static const QSize sizes[4] = {{820, 60}, {600, 62}, {400, 36}, {600, 346}};
        Json::Value e(Json::objectValue);
        e["adId"] = id;
        e["linkAddress"] = withLink ? "https://ads.example/" + id : "";
        for (int k = 0; k < 4; ++k) {
            const std::string name = id + std::to_string(k + 1) + ".png";
            e["imageName" + std::to_string(k + 1)] = name;
            const QString text = QStringLiteral("广告 %1 · 位置 %2").arg(QString::fromStdString(id)).arg(k);
            EXPECT_TRUE(store().put(name, letterPicture(text, sizes[k].width(), sizes[k].height())));
        }
        if (hours)
            e["img4Intervals"] = hours;
        return e;
    }

    void refreshWith(std::initializer_list<Json::Value> entries)
    {
        Json::Value list(Json::arrayValue);
        for (const Json::Value &e : entries)
            list.append(e);
        Json::StreamWriterBuilder w;
        w["indentation"] = "";
        ASSERT_TRUE(service().queue("license/advertisement", "OK:" + Json::writeString(w, list)));
        adsMan::RefreshAdsListFromCloud();
    }
};

TEST_F(AdsWindows, EveryPressOnTheBannerIsAClick)
{
    QWidget parent;
    AdsLabel label(&parent, Qt::Tool);
    EXPECT_FALSE(label.isWindow()); // built without the flags
    QSignalSpy clicks(&label, &AdsLabel::clicked);
    label.resize(100, 20);
    parent.show();
    QTest::mouseClick(&label, Qt::LeftButton);
    QTest::mouseClick(&label, Qt::RightButton);
    EXPECT_EQ(clicks.count(), 2);
}

// The main window's banner, built as the main window builds it: the picture
// that dep3 fetched is what the banner plays.
TEST_F(AdsWindows, DownloadedPictureAppearsInTheBanner)
{
    refreshWith({entry("A"), entry("N", false)});

    QWidget window;
    window.setFixedSize(820, 60);
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *banner = new AdsLabel(&window);
    layout->addWidget(banner);
    auto *movie = new QMovie(QStringLiteral(":/rc/banner_main.png"), QByteArray(), &window);
    movie->setScaledSize(QSize(820, 60));
    banner->setMovie(movie);
    movie->start();

    const AdItem a = adsMan::GetOne(AdItem::MainWindowBanner);
    ASSERT_TRUE(showAdInBanner(movie, a, AdItem::MainWindowBanner));
    EXPECT_EQ(movie->fileName(), adsMan::cacheDir() + "A1.png");
    EXPECT_EQ(movie->state(), QMovie::Running);
    const QImage shown = movie->currentImage();
    QImage expected;
    ASSERT_TRUE(expected.loadFromData(store().get("A1.png")));
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(saveScreenshot(&window, QStringLiteral("ad-banner")));

    // The next entry has no link: the banner keeps A.
    const AdItem n = adsMan::GetOne(AdItem::MainWindowBanner);
    EXPECT_EQ(n.adId, "N");
    EXPECT_FALSE(showAdInBanner(movie, n, AdItem::MainWindowBanner));
    EXPECT_EQ(movie->fileName(), adsMan::cacheDir() + "A1.png");

    // A notification banner takes N's picture all the same; its click goes to the maker's site.
    QMovie popup;
    adsMan::GetOne(AdItem::PopupBanner);
    const AdItem forPopup = adsMan::GetOne(AdItem::PopupBanner);
    EXPECT_TRUE(showAdInBanner(&popup, forPopup, AdItem::PopupBanner));
    EXPECT_EQ(popup.fileName(), adsMan::cacheDir() + "N3.png");
    UrlCatcher urls;
    openAd(a, AdItem::MainWindowBanner);
    openAd(forPopup, AdItem::PopupBanner);
    EXPECT_EQ(urls.opened, QStringList({"https://ads.example/A", QString::fromLatin1(kMakerWebSite)}));
}

// The main window itself: its cloud refresh at start fetches the list, and the
// banner shows the first entry's picture when the window is shown.
TEST_F(AdsWindows, MainWindowShowsTheAdvertisementInItsBanner)
{
    ASSERT_TRUE(QDir().mkpath(config::binDir));
    config::_depP = config::binDir + QStringLiteral("tester_depP");
    config::_depC = config::binDir + QStringLiteral("tester_depC");
    config::is_first_run = 0;
    config::m_ppdFile = QStringLiteral("/nonexistent/tavrin.ppd");
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    qputenv("USER", "tester");
    // The same version: no update window comes up during the start.
    ASSERT_TRUE(service().queue("license/checkVersion", "OK:" + config::clientVersion.toStdString() + ",no,x.deb"));
    Json::Value list(Json::arrayValue);
    list.append(entry("M"));
    Json::StreamWriterBuilder w;
    w["indentation"] = "";
    ASSERT_TRUE(service().queue("license/advertisement", "OK:" + Json::writeString(w, list)));

    PrinterWindow window(nullptr, nullptr);
    window.showMainWin();
    auto *movie = window.findChild<QMovie *>();
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->fileName(), adsMan::cacheDir() + "M1.png");
    QTest::qWait(100);
    EXPECT_TRUE(saveScreenshot(&window, QStringLiteral("main_window_advertisement")));
    window.hide();
}

TEST_F(AdsWindows, PeriodicWindowSitsInTheCornerWithACloseButton)
{
    AdvertiPeriod window;
    EXPECT_EQ(window.windowTitle(), "Dialog");
    EXPECT_TRUE(window.windowFlags() & Qt::Tool);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.size(), QSize(600, 346));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    const QRect desk = QApplication::desktop()->geometry();
    EXPECT_EQ(window.pos(), QPoint(desk.width() - 600, desk.height() - 346));

    window.show();
    QTest::qWait(20);
    auto *close = window.findChild<QPushButton *>();
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->size(), QSize(36, 36));
    const QRect onWindow(close->mapTo(&window, QPoint(0, 0)), close->size());
    EXPECT_GE(onWindow.right(), 600 - 12) << onWindow.x();
    EXPECT_LE(onWindow.top(), 12);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

// The main window's advertisement timer: " 2 " hours gives the next showing
// two hours later; an entry that cannot show ends the periodic window.
TEST_F(AdsWindows, DueShowingsSetTheTimerFromTheEntry)
{
    refreshWith({entry("S", true, " 2 "), entry("N", false, "1")});
    QTimer adTimer;
    adTimer.setInterval(3600000);
    adTimer.start();
    AdvertiPeriod *window = nullptr;

    AdvertiPeriod::popupDue(window, &adTimer);
    ASSERT_NE(window, nullptr);
    std::unique_ptr<AdvertiPeriod> owner(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentAd().adId, "S");
    EXPECT_TRUE(adTimer.isActive());
    EXPECT_EQ(adTimer.interval(), 2 * 3600000);
    EXPECT_TRUE(saveScreenshot(window, QStringLiteral("ad-period")));

    UrlCatcher urls;
    QTest::mouseClick(window->findChild<AdsLabel *>(), Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_EQ(urls.opened, QStringList({"https://ads.example/S"}));
    EXPECT_TRUE(window->isVisible()); // a click does not close it

    AdvertiPeriod::popupDue(window, &adTimer);
    EXPECT_EQ(window, owner.get());
    EXPECT_EQ(window->currentAd().adId, "N");
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(adTimer.isActive());
}

TEST_F(AdsWindows, WithoutAdvertisementsTheWindowNeverShows)
{
    QTimer adTimer;
    adTimer.start(3600000);
    AdvertiPeriod *window = nullptr;
    AdvertiPeriod::popupDue(window, &adTimer);
    std::unique_ptr<AdvertiPeriod> owner(window);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(adTimer.isActive());
}

} // namespace
