// The job notification and the error details window.

#include "ui/Popup.h"
#include "ui/ErrorDetails.h"

#include "DialogTestSupport.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

using namespace tavrin::test;

bool shown(const Popup &p, const char *name)
{
    const auto *w = p.findChild<QWidget *>(QString::fromLatin1(name));
    return w && w->isVisibleTo(&p);
}

QPushButton *button(const Popup &p, const char *name)
{
    return p.findChild<QPushButton *>(QString::fromLatin1(name));
}

QTimer *closeTimer(const Popup &p)
{
    for (QTimer *t : p.findChildren<QTimer *>())
        if (t->interval() == POPUP_TIMEOUT * 1000)
            return t;
    return nullptr;
}

TEST(Popup, FormPlaceAndModality)
{
    Popup p(nullptr);
    EXPECT_EQ(p.windowTitle(), "消息");
    EXPECT_EQ(p.size(), QSize(400, 160));
    EXPECT_EQ(p.windowModality(), Qt::ApplicationModal);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(p.pos(), QPoint(area.width() - 1 - 400 - 9, area.height() - 176));
}

TEST(Popup, ThreeResultsAndNavigation)
{
    Popup p(nullptr);
    p.pushMessage("OK");
    p.pushMessage("Fail:report.pdf:Cannot connect printer, port=631: 198.18.0.99");
    p.pushMessage("OK");
    p.show();
    EXPECT_EQ(labelText(&p, "labelPage"), "3/3");
    EXPECT_EQ(labelText(&p, "label"), "您的任务已打印完成！");
    EXPECT_TRUE(shown(p, "btnPrev"));
    EXPECT_TRUE(shown(p, "btnNext"));
    EXPECT_FALSE(shown(p, "btnError"));
    saveScreenshot(&p, "notification_3_results");

    button(p, "btnNext")->click();
    EXPECT_EQ(labelText(&p, "labelPage"), "3/3") << "> at the end stays";
    button(p, "btnPrev")->click();
    EXPECT_EQ(labelText(&p, "labelPage"), "2/3");
    EXPECT_EQ(labelText(&p, "label"), "您的任务已打印失败！");
    EXPECT_TRUE(shown(p, "btnError"));
    saveScreenshot(&p, "notification_failure");
    button(p, "btnPrev")->click();
    EXPECT_EQ(labelText(&p, "labelPage"), "1/3");
    button(p, "btnPrev")->click();
    EXPECT_EQ(labelText(&p, "labelPage"), "1/3") << "< at the start stays";
}

TEST(Popup, SingleResultAutoCloseAndAFreshListAfterwards)
{
    Popup p(nullptr);
    p.pushMessage("OK");
    p.show();
    EXPECT_FALSE(shown(p, "labelPage"));
    EXPECT_FALSE(shown(p, "btnPrev"));
    EXPECT_FALSE(shown(p, "btnNext"));
    EXPECT_FALSE(shown(p, "btnError"));
    QTimer *timer = closeTimer(p);
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 20000);
    saveScreenshot(&p, "notification_ok");

    // The 20 s count from the last change: a navigation restarts it.
    QTest::qWait(600);
    const int before = timer->remainingTime();
    button(p, "btnNext")->click();
    EXPECT_GT(timer->remainingTime(), before + 300) << "started anew";

    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_FALSE(p.isVisible());
    EXPECT_EQ(p.messageCount(), 0);

    p.pushMessage("Fail:x:y");
    p.show();
    EXPECT_EQ(p.messageCount(), 1);
    EXPECT_FALSE(shown(p, "labelPage")) << "a new list, not the old results";

    button(p, "pushButton")->click(); // 确定
    EXPECT_FALSE(p.isVisible());
    p.pushMessage("OK");
    p.show();
    p.close(); // the window's close empties it too
    EXPECT_EQ(p.messageCount(), 0);
}

TEST(Popup, ANoticeShowsItsOwnText)
{
    Popup p(nullptr);
    p.pushMessage("<b>请尽快更新</b>");
    EXPECT_EQ(labelText(&p, "label"), "<b>请尽快更新</b>");
    EXPECT_EQ(p.findChild<QLabel *>("label")->textFormat(), Qt::PlainText) << "shown as text, never as markup";
    EXPECT_TRUE(shown(p, "btnError"));
}

TEST(Popup, DraggedWindowShowsAgainWhereItWasLeft)
{
    Popup p(nullptr);
    p.pushMessage("OK");
    p.show();
    const QPoint start = p.pos();
    QTest::mousePress(&p, Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(150, 60), QPointF(p.mapToGlobal(QPoint(150, 60))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&p, &move);
    QTest::mouseRelease(&p, Qt::LeftButton, Qt::NoModifier, QPoint(150, 60));
    EXPECT_EQ(p.pos(), start + QPoint(-50, -40));
    const QPoint dragged = p.pos();
    p.closeMe();
    p.pushMessage("OK");
    p.show();
    EXPECT_EQ(p.pos(), dragged);
}

TEST(Popup, ErrorButtonOpensDetailsThatTheModalNotificationDoesNotBlock)
{
    Popup p(nullptr);
    p.pushMessage("Fail:report.pdf:Cannot connect printer, port=631: refused");
    p.show();
    button(p, "btnError")->click();
    button(p, "btnError")->click();
    QList<ErrorDetails *> details = p.findChildren<ErrorDetails *>();
    ASSERT_EQ(details.size(), 2) << "every press opens another one";
    ErrorDetails *d = details.first();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(labelText(d, "labelName"), "report.pdf");
    EXPECT_EQ(labelText(d, "labelError"), "Cannot connect printer, port=631: refused");
    ASSERT_NE(d->windowHandle(), nullptr);
    EXPECT_EQ(d->windowHandle()->transientParent(), p.windowHandle())
        << "a window of the notification's own, which its modality does not block";
    saveScreenshot(d, "error_details");

    p.closeMe(); // the notification's auto-close leaves the details open
    EXPECT_TRUE(d->isVisible());

    QPointer<ErrorDetails> guard(d);
    d->findChild<QPushButton *>("pushButton")->click();
    QTest::qWait(50);
    EXPECT_TRUE(guard.isNull()) << "freed when closed";
}

struct SplitRow {
    const char *what;
    QString message;
    QString name;
    QString error;
};

TEST(ErrorDetails, SplitsTheFailureText)
{
    const SplitRow rows[] = {
        {"error with an inner colon", "Fail:report.pdf:Cannot connect printer, port=631: refused", "report.pdf",
         "Cannot connect printer, port=631: refused"},
        {"name with a colon: the split cannot know", "Fail:Q3:results:boom", "Q3", "results:boom"},
        {"empty name and error", "Fail::", "", ""},
        {"percent signs stay", "Fail:100%1:at 50%2", "100%1", "at 50%2"},
        {"two parts keep the form texts", "Fail:report.pdf", "xxxxxx", "TextLabel"},
        {"a notice without colons", "请尽快更新", "xxxxxx", "TextLabel"},
    };
    for (const SplitRow &row : rows) {
        ErrorDetails d(row.message, nullptr);
        EXPECT_EQ(labelText(&d, "labelName"), row.name) << row.what;
        EXPECT_EQ(labelText(&d, "labelError"), row.error) << row.what;
    }
    ErrorDetails d("OK", nullptr);
    EXPECT_EQ(d.windowTitle(), "失败原因");
    EXPECT_EQ(d.size(), QSize(420, 240));
    EXPECT_EQ(labelText(&d, "label_2"), "文件名称：");
    EXPECT_EQ(labelText(&d, "label_4"), "错误信息：");
}

} // namespace
