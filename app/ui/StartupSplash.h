#pragma once
// The start-up picture. Unlike a plain splash screen it ignores clicks and
// key presses, so it cannot be dismissed before the main window is ready.

#include <QSplashScreen>

class StartupSplash : public QSplashScreen
{
    Q_OBJECT
public:
    StartupSplash(const QPixmap &pixmap, Qt::WindowFlags flags);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
