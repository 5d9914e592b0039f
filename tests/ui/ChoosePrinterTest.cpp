// The choose dialog: its list order, favourites made in it, and what the
// caller reads after it closes.

#include "ui/ChoosePrinter.h"
#include "ui/PrinterWindow.h"

#include "WindowTestSupport.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using namespace tavrin::test;

class ChoosePrinterTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        // Stored order A, B, C; A and C favourites made at 10 and 20.
        storePrinters({makePrinter("A", "198.18.0.10", true, 10), makePrinter("B", "198.18.0.11"),
                       makePrinter("C", "198.18.0.12", true, 20)});
    }

    static QListWidget *listOf(ChoosePrinter &d) { return d.findChild<QListWidget *>("listWidget"); }
    static QPushButton *button(ChoosePrinter &d, const char *name)
    {
        return d.findChild<QPushButton *>(QString::fromLatin1(name));
    }
};

TEST_F(ChoosePrinterTest, FormAndOrder)
{
    ChoosePrinter d(nullptr);
    EXPECT_EQ(d.windowTitle(), "选择打印机");
    EXPECT_EQ(d.size(), QSize(580, 430));
    EXPECT_EQ(button(d, "cancelBtn")->text(), "取消打印");
    EXPECT_EQ(button(d, "printBtn")->text(), "确认打印");
    EXPECT_EQ(labelText(&d, "label"), "选择打印机");
    EXPECT_EQ(listOf(d)->iconSize(), QSize(30, 20));

    EXPECT_EQ(itemTexts(listOf(d)), (QStringList{"C", "A", "B"}));
    EXPECT_EQ(listOf(d)->currentRow(), 0);
    EXPECT_TRUE(showsIcon(listOf(d)->item(0), ":/rc/fav_printer.png"));
    EXPECT_TRUE(showsIcon(listOf(d)->item(2), ":/rc/printer.png"));
    EXPECT_TRUE(button(d, "remButton")->isVisibleTo(&d));
    EXPECT_FALSE(button(d, "addButton")->isVisibleTo(&d));
    EXPECT_TRUE(d.printer.deviceIpAddress.isEmpty()) << "empty until confirmed";

    saveScreenshot(&d, "choose_printer");
}

TEST_F(ChoosePrinterTest, FavouriteMadeInTheDialogMovesToTheTopHereAndInTheMainWindow)
{
    {
        ChoosePrinter d(nullptr);
        listOf(d)->setCurrentRow(2);
        EXPECT_TRUE(button(d, "addButton")->isVisibleTo(&d));
        button(d, "addButton")->click();
        EXPECT_EQ(itemTexts(listOf(d)), (QStringList{"B", "C", "A"}));
        EXPECT_EQ(listOf(d)->currentRow(), 0);
        EXPECT_TRUE(showsIcon(listOf(d)->item(0), ":/rc/fav_printer.png"));
        EXPECT_TRUE(button(d, "remButton")->isVisibleTo(&d));
        EXPECT_FALSE(button(d, "addButton")->isVisibleTo(&d));
        whenShown<ChoosePrinter>([](ChoosePrinter *self) { self->findChild<QPushButton *>("cancelBtn")->click(); });
        d.exec();
        EXPECT_TRUE(d.printer.deviceIpAddress.isEmpty());
    }
    PrinterWindow w(nullptr, nullptr);
    EXPECT_EQ(itemTexts(w.findChild<QListWidget *>("listWidget")), (QStringList{"B", "C", "A"}))
        << "the favourite survives the cancel";

    ChoosePrinter d(nullptr);
    button(d, "remButton")->click(); // B again plain
    EXPECT_EQ(itemTexts(listOf(d)), (QStringList{"C", "A", "B"}));
}

TEST_F(ChoosePrinterTest, ConfirmCancelAndClose)
{
    struct Row {
        const char *what;
        std::function<void(ChoosePrinter *)> act;
        QString address;
    };
    const Row rows[] = {
        {"confirm the second row",
         [](ChoosePrinter *d) {
             d->findChild<QListWidget *>("listWidget")->setCurrentRow(1);
             d->findChild<QPushButton *>("printBtn")->click();
         },
         "198.18.0.10"},
        {"cancel after choosing", [](ChoosePrinter *d) { d->findChild<QPushButton *>("cancelBtn")->click(); }, ""},
        {"window closed", [](ChoosePrinter *d) { d->close(); }, ""},
        {"escape", [](ChoosePrinter *d) { QTest::keyClick(d, Qt::Key_Escape); }, ""},
    };
    for (const Row &row : rows) {
        ChoosePrinter d(nullptr);
        whenShown<ChoosePrinter>(row.act);
        d.exec();
        EXPECT_EQ(d.printer.deviceIpAddress, row.address) << row.what;
        EXPECT_FALSE(d.isVisible()) << row.what;
    }
}

TEST_F(ChoosePrinterTest, ConfirmWithTheStoreEmptiedWarnsAndStaysOpen)
{
    ChoosePrinter d(nullptr);
    d.show();
    storePrinters({});
    auto box = answerNextBox();
    button(d, "printBtn")->click();
    EXPECT_TRUE(box->shown);
    EXPECT_EQ(box->title, QObject::tr("Warning"));
    EXPECT_EQ(box->text, QObject::tr("Please choose printer!"));
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.printer.deviceIpAddress.isEmpty());

    // The favourite buttons with nothing in the store only rebuild the list.
    button(d, "addButton")->click();
    EXPECT_EQ(listOf(d)->count(), 0);
}

} // namespace
