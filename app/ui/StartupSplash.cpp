#include "ui/StartupSplash.h"

#include <QEvent>

StartupSplash::StartupSplash(const QPixmap &pixmap, Qt::WindowFlags flags) : QSplashScreen(QPixmap())
{
    setPixmap(pixmap);
    installEventFilter(this);
    setWindowFlags(flags);
}

bool StartupSplash::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    default:
        return QSplashScreen::eventFilter(watched, event);
    }
}
