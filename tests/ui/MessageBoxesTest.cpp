// The message boxes' titles, buttons and defaults, answered the way a user would.

#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `act` on the first message box that becomes active while `call` runs.
void whenBoxShows(const std::function<void(QMessageBox *)> &act)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (box && box->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(box);
                return;
            }
        }
    });
    timer->start(10);
}

TEST(MessageBoxes, QuestionsDefaultToNoOnEnterAndEscape)
{
    QString title;
    QString yesText;
    QString noText;
    whenBoxShows([&](QMessageBox *box) {
        title = box->windowTitle();
        yesText = box->button(QMessageBox::Yes)->text();
        noText = box->button(QMessageBox::No)->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_FALSE(AreYouSure("确认删除此打印机？"));
    EXPECT_EQ(title, QObject::tr("Tip"));
    EXPECT_EQ(yesText, QObject::tr("Yes"));
    EXPECT_EQ(noText, QObject::tr("Cancle"));

    whenBoxShows([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_FALSE(AreYouSureTitle("text", "title"));

    whenBoxShows([&](QMessageBox *box) {
        title = box->windowTitle();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(AreYouSureTitle("退出后将无法使用打印功能，是否仍然退出？", "退出"));
    EXPECT_EQ(title, "退出");
}

TEST(MessageBoxes, TitlesAndTheirDefaults)
{
    struct Case {
        std::function<void()> show;
        QString title;
        QString text;
    };
    const Case cases[] = {
        {[] { Warn("Warning", "Please choose printer!"); }, "Warning", "Please choose printer!"},
        {[] { Hint("提示", "打印机列表为空"); }, "提示", "打印机列表为空"},
        {[] { Warn("", "no title"); }, "", "no title"},
        {[] { Hint2("text first", "title second"); }, "title second", "text first"},
        {[] { Hint2("empty title", ""); }, "提示", "empty title"},
    };
    for (const Case &c : cases) {
        QString title;
        QString text;
        bool noIcon = false;
        whenBoxShows([&](QMessageBox *box) {
            title = box->windowTitle();
            text = box->text();
            noIcon = box->icon() == QMessageBox::NoIcon;
            box->accept();
        });
        c.show();
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(text, c.text);
        EXPECT_TRUE(noIcon);
    }
}

TEST(MessageBoxes, NonModalHintReturnsAtOnceAndCleansUp)
{
    hint_non_modal("", "later");
    QMessageBox *box = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *b = qobject_cast<QMessageBox *>(w); b && b->isVisible())
            box = b;
    }
    ASSERT_NE(box, nullptr) << "shown, and the call has already returned";
    EXPECT_EQ(box->windowTitle(), QObject::tr("Tip"));
    EXPECT_FALSE(box->isModal());
    QPointer<QMessageBox> guard(box);
    box->button(QMessageBox::Ok)->click();
    QTest::qWait(50);
    EXPECT_TRUE(guard.isNull()) << "deleted when closed";
}

} // namespace
