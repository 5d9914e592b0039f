// Start-up pieces: the single-instance guard, the splash screen and the
// translation catalogues.

#include "ui/RunGuard.h"
#include "ui/StartupSplash.h"
#include "ui/Translations.h"

#include "DialogTestSupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace tavrin::test;

// A key of this test process: a real tavrinapp on this machine is never touched.
QString testKey()
{
    return QStringLiteral("tavrin_test_instance_%1").arg(QCoreApplication::applicationPid());
}

TEST(RunGuard, OneInstanceAtATime)
{
    RunGuard first(testKey());
    ASSERT_TRUE(first.try_to_run());
    EXPECT_FALSE(first.is_another_running()) << "the holder is not another instance";
    {
        RunGuard second(testKey());
        EXPECT_TRUE(second.is_another_running());
        EXPECT_FALSE(second.try_to_run());
    }
    first.release();
    RunGuard third(testKey());
    EXPECT_TRUE(third.try_to_run());
}

TEST(RunGuard, AnInstanceKilledHardDoesNotLockOthersOut)
{
    const QString key = testKey() + QStringLiteral("_killed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        RunGuard crashed(key);
        if (!crashed.try_to_run())
            ::_exit(3);
        ::raise(SIGKILL);
        ::_exit(4);
    }
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child held the segment and was killed";

    RunGuard next(key);
    EXPECT_FALSE(next.is_another_running());
    EXPECT_TRUE(next.try_to_run());
}

TEST(StartupSplash, ClicksAndKeysDoNotDismissIt)
{
    StartupSplash splash(QPixmap(":/rc/startup.png"), Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    splash.show();
    ASSERT_TRUE(splash.isVisible());
    EXPECT_FALSE(splash.pixmap().isNull());
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    QTest::mouseClick(&splash, Qt::LeftButton);
    QTest::mouseDClick(&splash, Qt::LeftButton);
    QTest::keyClick(&splash, Qt::Key_Escape);
    QTest::keyClick(&splash, Qt::Key_Space);
    EXPECT_TRUE(splash.isVisible());
    saveScreenshot(&splash, "startup_splash");
}

struct CatalogueRow {
    const char *source;
    const char *zhCN;
    const char *zhTW;
};

// The program's catalogue, entry for entry.
const CatalogueRow kCatalogue[] = {
    {"Add printer failed: ", "添加打印机失败： ", "添加打印機失敗："},
    {"Cancle", "取消", "取消"},
    {"Cannot connect printer!", "无法连接打印机。", "不能鏈接打印機！"},
    {"Cannot connect printer, port=631: ", "无法连接至打印机端口631：", "無法鏈接至打印機端口631："},
    {"Device already exist. Ignore or overwrite it.\n", "设备已经存在。忽略或者覆盖它。",
     "設備已經存在。忽略或者覆蓋它？"},
    {"Driver already exist", "打印机已存在", "打印機已存在"},
    {"Email address format is wrong.", "邮箱地址格式错误", "郵箱地址格式錯誤"},
    {"Ignore", "忽略", "忽略"},
    {"Overwrite", "覆盖", "覆蓋"},
    {"Please choose printer!", "请选择一个打印机。", "請選擇一個打印機。"},
    {"Please fill all info!", "请输入相关信息", "請輸入相關信息"},
    {"Print through USB not supported temporarily.", "暂不支持USB打印机", "暫不支持USB打印機"},
    {"Printer Connect OK!", "打印机在线", "打印機在綫"},
    {"Printer already exist.", "打印机已存在。", "打印機已存在。"},
    {"Tavrin Warning", "塔文警告", "塔文警告"},
    {"Tavrin had run, Please check the tray on task bar.", "塔文已经在运行中，请在任务栏中查找塔文托盘。",
     "塔文已經在運行中，請在任務欄中查找塔文托盤。"},
    {"Tip", "提示", "提示"},
    {"Warning", "警告", "警告"},
    {"Yes", "确认", "確認"},
    {"ip invalid", "IP 地址不正确。", "IP 地址不正確。"},
    {"printer not supported document format.", "不支持的打印模式", "不支持的打印模式"},
    {"start must lesser than end", "IP 起始地址必须小于结束地址。", "IP 起始地址必須小於結束地址。"},
};

QString tr(const char *context, const char *source)
{
    return QCoreApplication::translate(context, source);
}

TEST(Translations, SimplifiedAndTraditionalChinese)
{
    for (const bool traditional : {false, true}) {
        const ui::Translators t = ui::installTranslators(traditional ? "zh_TW" : "zh_CN");
        ASSERT_TRUE(t.program) << "program catalogue, traditional=" << traditional;
        ASSERT_TRUE(t.qt) << "Qt's catalogue and the module catalogues it loads, traditional=" << traditional;
        for (const CatalogueRow &row : kCatalogue)
            EXPECT_EQ(tr("QObject", row.source), QString::fromUtf8(traditional ? row.zhTW : row.zhCN)) << row.source;
        EXPECT_EQ(tr("OverwritePrinter", "Ignore"), "忽略");
        EXPECT_EQ(tr("OverwritePrinter", "Overwrite"), traditional ? "覆蓋" : "覆盖");
        EXPECT_EQ(tr("QPlatformTheme", "Cancel"), "取消") << "Qt's own dialog texts";
    }
    EXPECT_EQ(tr("QObject", "Yes"), "Yes") << "uninstalled with their owner";
}

TEST(Translations, EnglishMapsThreeEntriesAndOtherLocalesLoadNothing)
{
    {
        const ui::Translators t = ui::installTranslators("en_US");
        ASSERT_TRUE(t.program);
        EXPECT_TRUE(t.qt) << "the empty Qt catalogue loads";
        EXPECT_FALSE(t.program->isEmpty());
        EXPECT_EQ(tr("QObject", "Cancle"), "Cancle");
        EXPECT_EQ(tr("QObject", "Warning"), "Warning");
        EXPECT_EQ(t.program->translate("QObject", "Warning"), QString()) << "only Cancle, Tip and Yes";
        EXPECT_EQ(t.program->translate("QObject", "Tip"), "Tip");
        EXPECT_EQ(t.program->translate("QObject", "Yes"), "Yes");
    }
    const ui::Translators none = ui::installTranslators("de_DE");
    EXPECT_FALSE(none.program);
    EXPECT_FALSE(none.qt);
    EXPECT_EQ(tr("QObject", "Tavrin Warning"), "Tavrin Warning");
}

} // namespace
