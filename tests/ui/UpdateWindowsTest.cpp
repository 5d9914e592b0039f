// The update windows against the test service: which answer opens which
// window and what it leaves in gFatalError, the package download through
// dep3, the installer on UOS only, and the About dialog.

#include "ui/About.h"
#include "ui/LatestWin.h"
#include "ui/UpdateChecks.h"
#include "ui/VersionNewWin.h"

#include "cloud/AdItem.h"
#include "cloud/CloudFixture.h"
#include "cloud/Itf.h"
#include "storage/Config.h"
#include "ui/CloudUiSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace tavrin::cloudui;
using tavrin::test::CloudFixture;

const QString kForcedText = QStringLiteral("需要将塔文更新到最新版本才可正常使用");
const QString kOptionalText = QStringLiteral("版本更新将会重新下载安装包进行更新");

QString labelOf(QWidget *w, const char *name)
{
    auto *label = w->findChild<QLabel *>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<none>");
}

class UpdateWindows : public CloudFixture
{
protected:
    void SetUp() override
    {
        CloudFixture::SetUp();
        initTavrinResources();
        gFatalError.clear();
        VersionNewWin::osReleaseFile = osRelease(QStringLiteral("Debian GNU/Linux"));
    }

    QString osRelease(const QString &name)
    {
        const QString path = m_dir.filePath(QStringLiteral("os-release-") + QString::number(qHash(name)));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("NAME=\"%1\"\nPRETTY_NAME=\"%1 20\"\nVERSION=\"20\"\n").arg(name).toUtf8());
        return path;
    }

    // A stand-in for deepin-deb-installer first on PATH: it keeps its
    // arguments and a copy of the package it was given.
    void standInInstaller()
    {
        const QString bin = m_dir.filePath(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(bin));
        QFile script(bin + QStringLiteral("/deepin-deb-installer"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '%1/args'\ncp \"$1\" '%1/package'\n")
                         .arg(m_dir.path())
                         .toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        qputenv("PATH", (bin + QLatin1Char(':')).toUtf8() + qgetenv("PATH"));
    }
    QStringList installerArgs()
    {
        QFile f(m_dir.filePath(QStringLiteral("args")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QByteArray installedPackage()
    {
        QFile f(m_dir.filePath(QStringLiteral("package")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Presses "立即更新" and waits for the window to close by itself.
    void updateNow(VersionNewWin &win)
    {
        win.show();
        auto *button = win.findChild<QPushButton *>(QStringLiteral("pushButton"));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        if (win.isVisible()) {
            EXPECT_FALSE(button->isEnabled());
            EXPECT_EQ(button->text(), "正在下载...");
        }
        ASSERT_TRUE(waitFor([&] { return !win.isVisible(); }));
    }

    QTemporaryDir m_dir;
};

TEST_F(UpdateWindows, NewVersionWindowSaysWhatIsOffered)
{
    UpdateInfo forced;
    forced.needUpdate = forced.forceUpdate = true;
    forced.note = QStringLiteral("V1.3.0.4");
    VersionNewWin a(forced);
    EXPECT_EQ(a.windowTitle(), "塔文 - 发现新版本");
    EXPECT_EQ(a.size(), QSize(412, 333));
    EXPECT_EQ(labelOf(&a, "label"), "V1.3.0.4");
    EXPECT_EQ(labelOf(&a, "label_2"), kForcedText);
    EXPECT_TRUE(saveScreenshot(&a, QStringLiteral("update-forced")));

    UpdateInfo optional = forced;
    optional.forceUpdate = false;
    VersionNewWin b(optional);
    EXPECT_EQ(labelOf(&b, "label_2"), kOptionalText);
    EXPECT_EQ(b.findChild<QPushButton *>(QStringLiteral("pushButton"))->text(), "立即更新");
    EXPECT_TRUE(saveScreenshot(&b, QStringLiteral("update-optional")));
}

// The periodic check: the window it opens, and gFatalError before and after.
TEST_F(UpdateWindows, PeriodicCheckAnswers)
{
    const struct {
        const char *answer; // nullptr: nothing listens
        const char *before;
        const char *window; // label_2 of the window shown, "" for none
        const char *after;
    } cases[] = {
        {"OK:1.3.0.3,NO,pkg.deb", "FORCE_UPDATE", "", ""},                     // equal version
        {"OK:1.3.0.2,yes,pkg.deb", "", "forced", "FORCE_UPDATE"},              // other version, forced
        {"OK:1.3.0.4,NO,pkg.deb", "FORCE_UPDATE", "optional", "FORCE_UPDATE"}, // optional: left as it was
        {"OK:1.3.0.4,NO,pkg.deb", "", "optional", ""},
        {"OK:1.3.0.4,NO", "FORCE_UPDATE", "", ""},         // two fields
        {"ok:1.3.0.4,NO,pkg.deb", "FORCE_UPDATE", "", ""}, // lower-case prefix
        {"OK:,YES,pkg.deb", "FORCE_UPDATE", "", ""},       // empty version
        {nullptr, "FORCE_UPDATE", "", ""},
    };
    for (const auto &c : cases) {
        service().useForProgram();
        if (c.answer)
            ASSERT_TRUE(service().queue("license/checkVersion", c.answer));
        else
            Itf::_itf_url = tavrin::test::TestService::unreachableUrl();
        gFatalError = QString::fromLatin1(c.before);
        QString shown;
        QString duringWindow;
        QWidget parent;
        {
            OnShow<VersionNewWin> look([&](VersionNewWin *win) {
                shown = labelOf(win, "label_2") == kForcedText ? "forced" : "optional";
                duringWindow = gFatalError;
                EXPECT_EQ(win->parentWidget(), &parent);
                EXPECT_EQ(labelOf(win, "label"), QStringLiteral("V") + QString::fromLatin1(c.answer).mid(3, 7));
                win->close();
            });
            checkForUpdate(&parent);
        }
        const char *what = c.answer ? c.answer : "unreachable";
        EXPECT_EQ(shown, QString::fromLatin1(c.window)) << what;
        if (!shown.isEmpty()) {
            EXPECT_EQ(duringWindow, QString::fromLatin1(c.before)) << what << ": set only after the window closed";
        }
        EXPECT_EQ(gFatalError, QString::fromLatin1(c.after)) << what;
    }
}

// The job watcher's reminder shows the window only for a forced update still needed.
TEST_F(UpdateWindows, ReminderShowsOnlyAForcedUpdate)
{
    const struct {
        const char *answer;
        bool shows;
    } cases[] = {
        {"OK:1.3.0.4,YES,pkg.deb", true},
        {"OK:1.3.0.4,NO,pkg.deb", false},
        {"OK:1.3.0.3,YES,pkg.deb", false},
        {"FAIL:x", false},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(service().queue("license/checkVersion", c.answer));
        gFatalError = QStringLiteral("FORCE_UPDATE");
        OnShow<VersionNewWin> close([](VersionNewWin *win) { win->close(); });
        remindForcedUpdate(nullptr);
        EXPECT_EQ(close.ran(), c.shows) << c.answer;
        EXPECT_EQ(gFatalError, "FORCE_UPDATE") << c.answer;
    }
}

TEST_F(UpdateWindows, OnUosThePackageGoesToTheInstaller)
{
    standInInstaller();
    VersionNewWin::osReleaseFile = osRelease(QStringLiteral("UOS"));
    QByteArray package(200000, 'p');
    package.prepend("!<arch>\n");
    ASSERT_TRUE(store().put("tavrin_1.3.0.4_amd64.deb", package));
    UpdateInfo info;
    info.needUpdate = info.forceUpdate = true;
    info.packageName = QStringLiteral("tavrin_1.3.0.4_amd64.deb");
    VersionNewWin win(info);
    updateNow(win);

    EXPECT_EQ(store().transfers(), QStringList({"GET tavrin_1.3.0.4_amd64.deb"}));
    const QStringList args = installerArgs();
    ASSERT_EQ(args.size(), 2);
    EXPECT_EQ(args[0], "1");
    EXPECT_TRUE(args[1].startsWith(QDir::tempPath() + QLatin1Char('/'))) << args[1].toStdString();
    EXPECT_TRUE(args[1].endsWith(".deb"));
    EXPECT_EQ(installedPackage(), package);
    QFile::remove(args[1]);
}

TEST_F(UpdateWindows, ElsewhereThePackageIsOnlyDownloaded)
{
    standInInstaller();
    ASSERT_TRUE(store().put("tavrin_1.3.0.4_amd64.deb", "!<arch>\n"));
    UpdateInfo info;
    info.needUpdate = true;
    info.packageName = QStringLiteral("tavrin_1.3.0.4_amd64.deb");
    VersionNewWin win(info);
    updateNow(win);
    EXPECT_EQ(store().transfers(), QStringList({"GET tavrin_1.3.0.4_amd64.deb"}));
    EXPECT_EQ(installerArgs(), QStringList());
}

TEST_F(UpdateWindows, AMissingPackageClosesTheWindowWithoutInstalling)
{
    standInInstaller();
    VersionNewWin::osReleaseFile = osRelease(QStringLiteral("uos"));
    for (const char *name : {"gone.deb", ""}) {
        UpdateInfo info;
        info.needUpdate = true;
        info.packageName = QString::fromLatin1(name);
        VersionNewWin win(info);
        updateNow(win);
        EXPECT_EQ(installerArgs(), QStringList()) << name;
    }
}

TEST_F(UpdateWindows, AboutShowsTheVersionAndChecksByHand)
{
    About about;
    EXPECT_EQ(about.windowTitle(), "关于我们");
    EXPECT_EQ(about.size(), QSize(490, 198));
    EXPECT_EQ(labelOf(&about, "labelVer"), "版本：1.3.0.3");
    auto *site = about.findChild<QLabel *>(QStringLiteral("label_3"));
    ASSERT_NE(site, nullptr);
    EXPECT_TRUE(site->openExternalLinks());
    EXPECT_TRUE(site->text().contains(QString::fromLatin1(kMakerWebSite)));
    EXPECT_TRUE(saveScreenshot(&about, QStringLiteral("about")));

    const struct {
        const char *answer; // nullptr: nothing listens
        bool newVersion;
    } cases[] = {
        {"OK:1.3.0.3,NO,pkg.deb", false},
        {"OK:1.3.0.4,YES,pkg.deb", true},
        {"OK:1.3.0.4,NO,pkg.deb", true},
        {nullptr, false},
    };
    auto *check = about.findChild<QPushButton *>(QStringLiteral("pushButton"));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), "检查更新");
    bool screenshotTaken = false;
    for (const auto &c : cases) {
        service().useForProgram();
        if (c.answer)
            ASSERT_TRUE(service().queue("license/checkVersion", c.answer));
        else
            Itf::_itf_url = tavrin::test::TestService::unreachableUrl();
        gFatalError = QStringLiteral("kept");
        QString latestText;
        OnShow<LatestWin> latest([&](LatestWin *win) {
            latestText = labelOf(win, "label");
            EXPECT_EQ(win->parentWidget(), &about);
            EXPECT_EQ(win->windowTitle(), "提示");
            if (!screenshotTaken)
                screenshotTaken = saveScreenshot(win, QStringLiteral("latest"));
            QTest::mouseClick(win->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
        });
        OnShow<VersionNewWin> newer([&](VersionNewWin *win) {
            EXPECT_EQ(win->parentWidget(), &about);
            win->close();
        });
        QTest::mouseClick(check, Qt::LeftButton);
        const char *what = c.answer ? c.answer : "unreachable";
        EXPECT_EQ(newer.ran(), c.newVersion) << what;
        EXPECT_EQ(latest.ran(), !c.newVersion) << what;
        if (!c.newVersion) {
            EXPECT_EQ(latestText, "当前版本已经是最新版本！") << what;
        }
        EXPECT_EQ(gFatalError, "kept") << what;
    }
    EXPECT_TRUE(screenshotTaken);
}

} // namespace
