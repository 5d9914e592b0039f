#pragma once
// Driving the cloud features' windows from a test: answer a window when it
// shows, wait while the event loop runs, catch the URLs the desktop would
// open, and save what a window looks like.

#include "UiTestBasics.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

namespace tavrin::cloudui {

using tavrin::test::saveScreenshot;
using tavrin::test::waitFor;

// While it lives, runs `act` once on the first visible top-level T, from
// within whatever modal loop is running.
template <typename T> class OnShow
{
public:
    explicit OnShow(std::function<void(T *)> act) : m_act(std::move(act))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                T *found = qobject_cast<T *>(w);
                if (found && found->isVisible()) {
                    m_timer.stop();
                    m_ran = true;
                    m_act(found);
                    return;
                }
            }
        });
        m_timer.start(10);
    }
    OnShow(const OnShow &) = delete;
    OnShow &operator=(const OnShow &) = delete;
    bool ran() const { return m_ran; }

private:
    std::function<void(T *)> m_act;
    QTimer m_timer;
    bool m_ran = false;
};

struct BoxSeen {
    bool shown = false;
    QString title;
    QString text;
};

// Runs `action`, recording and closing the message box it brings up, if any.
inline BoxSeen answerBoxOf(const std::function<void()> &action)
{
    BoxSeen seen;
    OnShow<QMessageBox> answer([&seen](QMessageBox *box) {
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        box->accept();
    });
    action();
    return seen;
}

// Takes the URLs the program hands to the desktop for https links.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    QStringList opened;

public slots:
    void open(const QUrl &url) { opened << url.toString(); }
};

} // namespace tavrin::cloudui
