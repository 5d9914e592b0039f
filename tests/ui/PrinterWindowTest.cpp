// The main window on the offscreen platform: list order with favourites, the
// details pane, delete, first run, close to tray and exit.

#include "ui/PrinterWindow.h"
#include "ui/AddPrinterMethod.h"
#include "ui/PrinterList.h"
#include "ui/SystemQueue.h"

#include "WindowTestSupport.h"

#include <QAction>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplashScreen>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace tavrin::test;

struct OrderRow {
    const char *what;
    QList<Printer> stored;
    QStringList shown;
};

Printer fav(const char *name, qint64 time, const char *mark = "Y")
{
    Printer p = makePrinter(QString::fromUtf8(name), QStringLiteral("198.18.0.10"), true, time);
    p.isFav = QString::fromLatin1(mark);
    return p;
}

Printer plain(const char *name)
{
    return makePrinter(QString::fromUtf8(name), QStringLiteral("198.18.0.11"));
}

TEST(PrinterListOrder, FavouritesFirstNewestOnTopOthersInStoredOrder)
{
    const OrderRow rows[] = {
        {"no favourites: stored order", {plain("A"), plain("B"), plain("C")}, {"A", "B", "C"}},
        {"favourites made at 100 and 200: 200 first, then 100, then the rest",
         {fav("F100", 100), plain("P"), fav("F200", 200)},
         {"F200", "F100", "P"}},
        {"the mark is compared ignoring case", {plain("P"), fav("lower", 5, "y")}, {"lower", "P"}},
        {"only N and other marks are not favourites",
         {fav("Nmark", 9, "N"), fav("yes", 9, "yes"), plain("P")},
         {"Nmark", "yes", "P"}},
        {"equal times keep their stored order",
         {fav("first", 7), fav("second", 7), fav("third", 7)},
         {"first", "second", "third"}},
        {"empty list", {}, {}},
    };
    for (const OrderRow &row : rows) {
        QStringList shown;
        for (const Printer &p : ui::displayOrder(row.stored))
            shown << p.deviceName;
        EXPECT_EQ(shown, row.shown) << row.what;
    }
}

TEST(SystemQueue, CommandLinesAndTheListedCheck)
{
    EXPECT_EQ(ui::lpstatArgs(), (QStringList{"-v", "塔文"}));
    EXPECT_EQ(ui::lpadminArgs("/usr/share/cups/model/com.kestrelware.tavrin/tavrin.ppd"),
              (QStringList{"-p", "塔文", "-E", "-v", "tavrin://printer", "-P",
                           "/usr/share/cups/model/com.kestrelware.tavrin/tavrin.ppd"}));
    EXPECT_TRUE(ui::queueListed("device for 塔文: tavrin://printer\n"));
    EXPECT_FALSE(ui::queueListed("lpstat: Invalid destination name in list \"塔文\".\n"));
    EXPECT_FALSE(ui::queueListed(""));
}

TEST(ModelQuery, PageOnTheServiceHost)
{
    EXPECT_EQ(ui::modelQueryUrl("https://service.kestrelware.com/tavrin/itf/"),
              "https://service.kestrelware.com/tavrin/queryModel.jsp");
    EXPECT_EQ(ui::modelQueryUrl("https://127.0.0.1:8443/tavrin/itf/"), "https://127.0.0.1:8443/tavrin/queryModel.jsp");
}

class PrinterWindowTest : public WindowFixture
{
protected:
    std::unique_ptr<PrinterWindow> makeWindow(QSplashScreen *splash = nullptr)
    {
        auto w = std::make_unique<PrinterWindow>(splash, nullptr);
        list = w->findChild<QListWidget *>("listWidget");
        return w;
    }

    template <typename T> static T *child(QWidget *w, const char *name)
    {
        return w->findChild<T *>(QString::fromLatin1(name));
    }

    QListWidget *list = nullptr;
};

TEST_F(PrinterWindowTest, FormTrayAndTimers)
{
    auto w = makeWindow();
    EXPECT_EQ(w->windowTitle(), "塔文 - 设备管理");
    EXPECT_EQ(w->size(), QSize(820, 454));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());
    EXPECT_FALSE(w->isVisible()) << "only showMainWin shows the window";
    ASSERT_NE(w->menu(), nullptr);
    QStringList entries;
    for (QAction *a : w->menu()->actions())
        entries << a->text();
    EXPECT_EQ(entries, (QStringList{"关于我们", "问题反馈", "设备管理", "退出"}));
    EXPECT_EQ(w->tray()->toolTip(), "塔文");
    EXPECT_TRUE(w->tray()->isVisible());
    EXPECT_FALSE(w->tray()->icon().isNull());
    EXPECT_FALSE(w->windowIcon().isNull());
    EXPECT_EQ(w->spoolDirectory(), config::fileDir + "/bin/tavrin/tester");

    QList<int> intervals;
    for (QTimer *t : w->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (t->isActive())
            intervals << t->interval();
    }
    std::sort(intervals.begin(), intervals.end());
    EXPECT_EQ(intervals, (QList<int>{1000, 1800000, 3600000})) << "job, cloud and advertisement timers run";

    EXPECT_EQ(child<QPushButton>(w.get(), "addFreqUsedBtn")->font().pixelSize(), 12);
    EXPECT_EQ(child<QPushButton>(w.get(), "rmFreqUsedBtn")->font().pixelSize(), 12);
    EXPECT_EQ(child<QPushButton>(w.get(), "printerModelBtn")->font().pixelSize(), 14);
}

TEST_F(PrinterWindowTest, FavouritesOnTopAndBackToTheirStoredPlace)
{
    storePrinters({fav("Fav100", 100), plain("Plain"), fav("Fav200", 200), plain("Other")});
    auto w = makeWindow();
    EXPECT_EQ(itemTexts(list), (QStringList{"Fav200", "Fav100", "Plain", "Other"}));
    EXPECT_TRUE(showsIcon(list->item(0), ":/rc/fav_printer.png"));
    EXPECT_TRUE(showsIcon(list->item(1), ":/rc/fav_printer.png"));
    EXPECT_TRUE(showsIcon(list->item(2), ":/rc/printer.png"));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(list->item(0)->sizeHint().height(), 46);
    EXPECT_EQ(labelText(w.get(), "label_name"), "Fav200");
    EXPECT_EQ(labelText(w.get(), "label_ip"), "198.18.0.10");
    EXPECT_EQ(labelText(w.get(), "label_method"), DeliveryMode::label("dirpdf"));
    auto *addFav = child<QPushButton>(w.get(), "addFreqUsedBtn");
    auto *rmFav = child<QPushButton>(w.get(), "rmFreqUsedBtn");
    EXPECT_TRUE(rmFav->isVisibleTo(w.get()));
    EXPECT_FALSE(addFav->isVisibleTo(w.get()));

    w->showMainWin();
    saveScreenshot(w.get(), "main_window_printers");

    // A favourite that is no longer one goes back among the others at its stored place.
    rmFav->click();
    EXPECT_EQ(itemTexts(list), (QStringList{"Fav100", "Plain", "Fav200", "Other"}));
    EXPECT_TRUE(showsIcon(list->item(2), ":/rc/printer.png"));
    rmFav->click();
    EXPECT_EQ(itemTexts(list), (QStringList{"Fav100", "Plain", "Fav200", "Other"}));
    EXPECT_TRUE(showsIcon(list->item(0), ":/rc/printer.png"));
    EXPECT_TRUE(addFav->isVisibleTo(w.get()));
    EXPECT_FALSE(rmFav->isVisibleTo(w.get()));

    // Made a favourite now: newest of all, so on top, with the favourite icon.
    list->setCurrentRow(3);
    EXPECT_EQ(labelText(w.get(), "label_name"), "Other");
    addFav->click();
    EXPECT_EQ(itemTexts(list), (QStringList{"Other", "Fav100", "Plain", "Fav200"}));
    EXPECT_TRUE(showsIcon(list->item(0), ":/rc/fav_printer.png"));
    EXPECT_GT(util::getPrinter("Other").m_modified_time, 1600000000000);
    EXPECT_EQ(util::getPrinter("Fav100").m_modified_time, 100) << "removing keeps the time";
}

TEST_F(PrinterWindowTest, UnknownModeAndVanishedPrinterInTheDetailsPane)
{
    storePrinters({makePrinter("Odd", "198.18.0.12", false, 0, "Unknow"), plain("Gone")});
    auto w = makeWindow();
    EXPECT_EQ(labelText(w.get(), "label_method"), "暂不持支持");

    // Another dialog removed "Gone": the pane keeps what it showed.
    storePrinters({makePrinter("Odd", "198.18.0.12", false, 0, "Unknow")});
    list->setCurrentRow(1);
    EXPECT_EQ(labelText(w.get(), "label_name"), "Odd");
}

TEST_F(PrinterWindowTest, RefreshingWithASelectionAsksNothing)
{
    storePrinters({plain("A"), plain("B")});
    auto w = makeWindow();
    list->setCurrentRow(1);
    auto box = answerNextBox();
    child<QPushButton>(w.get(), "refreshBtn")->click();
    QTest::qWait(100);
    EXPECT_FALSE(box->shown) << box->text.toStdString();
    EXPECT_EQ(list->currentRow(), 0);
}

TEST_F(PrinterWindowTest, DeletingTheLastPrinterShowsTheEmptyPane)
{
    storePrinters({plain("Only")});
    auto w = makeWindow();
    auto *frameEmpty = child<QFrame>(w.get(), "frameEmpty");
    auto *frameProp = child<QFrame>(w.get(), "frameProp");
    auto *noDevice = child<QLabel>(w.get(), "labelNoDevice");
    EXPECT_FALSE(frameEmpty->isVisibleTo(w.get()));
    EXPECT_TRUE(frameProp->isVisibleTo(w.get()));

    // No keeps it.
    whenShown<QMessageBox>([](QMessageBox *box) {
        EXPECT_EQ(box->text(), "确认删除此打印机？");
        box->button(QMessageBox::No)->click();
    });
    child<QPushButton>(w.get(), "delButton")->click();
    EXPECT_EQ(util::getPrinters().size(), 1);

    whenShown<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    child<QPushButton>(w.get(), "delButton")->click();
    EXPECT_TRUE(util::getPrinters().isEmpty());
    EXPECT_EQ(service().requests("license/removeDevice").size(), 1u);
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(frameEmpty->isVisibleTo(w.get()));
    EXPECT_TRUE(noDevice->isVisibleTo(w.get()));
    EXPECT_FALSE(frameProp->isVisibleTo(w.get()));
    EXPECT_EQ(noDevice->text(), "无打印机设备！");

    // Nothing selected: the warning.
    auto box = answerNextBox();
    child<QPushButton>(w.get(), "delButton")->click();
    EXPECT_TRUE(box->shown);
    EXPECT_EQ(box->text, QObject::tr("Please choose printer!"));

    w->showMainWin();
    saveScreenshot(w.get(), "main_window_empty");
}

TEST_F(PrinterWindowTest, ClosingHidesToTheTrayAndManageShowsItAgain)
{
    storePrinters({plain("A"), fav("B", 3)});
    auto w = makeWindow();
    w->showMainWin();
    ASSERT_TRUE(w->isVisible());
    EXPECT_FALSE(w->close()) << "the close request is ignored";
    EXPECT_FALSE(w->isVisible());
    w->menu()->actions().at(2)->trigger(); // 设备管理
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(itemTexts(list), (QStringList{"B", "A"}));

    // A plain click on the tray icon shows it too; a double click does nothing.
    w->hide();
    emit w->tray()->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(w->isVisible());
    emit w->tray()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(w->isVisible());

    // Without a tray icon the window closes normally.
    w->tray()->hide();
    EXPECT_TRUE(w->close());
}

TEST_F(PrinterWindowTest, ExitAsksFirst)
{
    auto w = makeWindow();
    // Runs menuExit inside an event loop of its own: quitting ends that loop with 0.
    auto runExit = [&w](QMessageBox::StandardButton answer) {
        QEventLoop loop;
        whenShown<QMessageBox>([answer](QMessageBox *box) {
            EXPECT_EQ(box->text(), "退出后将无法使用打印功能，是否仍然退出？");
            box->button(answer)->click();
        });
        QTimer::singleShot(0, w.get(), [&w] { w->menu()->actions().at(3)->trigger(); });
        QTimer::singleShot(3000, &loop, [&loop] { loop.exit(7); });
        return loop.exec();
    };
    EXPECT_EQ(runExit(QMessageBox::No), 7) << "Cancle keeps the program running";
    EXPECT_EQ(runExit(QMessageBox::Yes), 0) << "Yes quits the event loop";
}

TEST_F(PrinterWindowTest, FirstRunOpensTheAddChainOnce)
{
    config::is_first_run = 1;
    QSplashScreen splash(QPixmap(":/rc/startup.png"));
    splash.show();
    bool chainOpened = false;
    whenShown<AddPrinterMethod>([&chainOpened, &splash](AddPrinterMethod *d) {
        chainOpened = true;
        EXPECT_FALSE(splash.isVisible()) << "the splash closes before the add chain opens";
        d->reject();
    });
    auto w = makeWindow(&splash);
    EXPECT_TRUE(chainOpened);
    EXPECT_EQ(config::is_first_run, 0);
    EXPECT_EQ(iniFirstRun(), 0);

    // Neither a second window nor "设备管理" opens it again.
    bool again = false;
    auto seen = whenShown<AddPrinterMethod>([&again](AddPrinterMethod *d) {
        again = true;
        d->reject();
    });
    auto second = makeWindow();
    second->showMainWin();
    QTest::qWait(100);
    EXPECT_FALSE(again);
}

TEST_F(PrinterWindowTest, FirstRunFromManageWhenTheListIsEmpty)
{
    config::is_first_run = 0;
    auto w = makeWindow();
    config::is_first_run = 1; // as if set after the window was built
    bool chainOpened = false;
    whenShown<AddPrinterMethod>([&chainOpened](AddPrinterMethod *d) {
        chainOpened = true;
        d->reject();
    });
    w->showMainWin();
    EXPECT_TRUE(chainOpened);
    EXPECT_EQ(iniFirstRun(), 0);
    EXPECT_TRUE(w->isVisible());
}

} // namespace
