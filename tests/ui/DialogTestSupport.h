#pragma once
// Driving modal dialogs from a test: answer a dialog when it shows, wait for
// a condition while the event loop runs, and save what a window looks like.

#include "UiTestBasics.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <memory>

namespace tavrin::test {

// Installs the zh_CN catalogues when the resources hold them, as start-up does
// for that locale; false when they are not (yet) there.
inline bool installChineseCatalogue()
{
    initTavrinResources();
    bool any = false;
    for (const char *file : {":lang/tavrinapp_zh_CN.qm", ":lang/qt_zh_CN.qm"}) {
        auto *translator = new QTranslator(qApp);
        if (translator->load(QString::fromLatin1(file))) {
            QCoreApplication::installTranslator(translator);
            any = true;
        } else {
            delete translator;
        }
    }
    return any;
}

// Runs `act` once on the first visible top-level T that is not `except`, from
// the event loop of whatever modal dialog is running. The returned flag tells
// whether it ran.
template <typename T> std::shared_ptr<bool> whenShown(std::function<void(T *)> act, QWidget *except = nullptr)
{
    auto done = std::make_shared<bool>(false);
    // Owned by the application, so that a dialog which never shows leaves nothing behind.
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, act, done, except] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            T *found = qobject_cast<T *>(w);
            if (found && found != except && found->isVisible()) {
                timer->stop();
                timer->deleteLater();
                *done = true;
                act(found);
                return;
            }
        }
    });
    timer->start(10);
    return done;
}

// What a message box said; filled when it showed and was closed.
struct BoxSeen {
    bool shown = false;
    QString title;
    QString text;
};

// Closes the next message box and records it.
inline std::shared_ptr<BoxSeen> answerNextBox()
{
    auto seen = std::make_shared<BoxSeen>();
    whenShown<QMessageBox>([seen](QMessageBox *box) {
        seen->shown = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        box->accept();
    });
    return seen;
}

// The visible text of a label as the user sees it (its movie aside).
inline QString labelText(const QWidget *window, const char *name)
{
    const auto *label = window->findChild<QLabel *>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no label>");
}

} // namespace tavrin::test
