// tavrinapp: the desktop tray program.

#include "cloud/Itf.h"
#include "platform/RLog.h"
#include "storage/Config.h"
#include "storage/Printer.h"
#include "ui/MessageBoxes.h"
#include "ui/PrinterWindow.h"
#include "ui/RunGuard.h"
#include "ui/StartupSplash.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QLocale>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QThread>

namespace {

constexpr int kFirstTrayChecks = 30;
constexpr int kSecondTrayChecks = 20;
constexpr unsigned long kTrayPauseSeconds = 1;

bool waitForTray(int checks)
{
    for (int i = 0; i < checks; ++i) {
        if (QSystemTrayIcon::isSystemTrayAvailable())
            return true;
        QThread::sleep(kTrayPauseSeconds);
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavrinapp"));
    // The HTTP library's global set-up must not race a worker thread.
    Itf::_init_curl();

    // The program lives in the tray: wait for the desktop to provide one.
    waitForTray(kFirstTrayChecks);
    util::initAppLog(config::logDir);
    Printer::registerMetaType();
    if (!waitForTray(kSecondTrayChecks)) {
        TLOG("Exit. Because isSystemTrayAvailable reture false 20 times.");
        return 0;
    }
    QApplication::setQuitOnLastWindowClosed(false);

    const QString locale = QLocale::system().name();
    TLOG("locale: " + locale);
    const ui::Translators translators = ui::installTranslators(locale);

    RunGuard guard(QStringLiteral("tavrin_only_one_instance"));
    if (!guard.try_to_run()) {
        TLOG("tavrin had run.");
        Warn(QObject::tr("Tavrin Warning"), QObject::tr("Tavrin had run, Please check the tray on task bar."));
        return 0;
    }

    auto *splash = new StartupSplash(QPixmap(QStringLiteral(":/rc/startup.png")),
                                     Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    splash->show();
    QApplication::processEvents();

    config::load();

    PrinterWindow window(splash, nullptr);
    // The main window stays hidden in the tray: finish() would wait for it in
    // a nested event loop for a second, and a job arriving meanwhile opened
    // the printer choice under the splash, which stays on top and swallows
    // every click.
    if (window.isVisible())
        splash->finish(&window);
    else
        splash->close();
    delete splash;
    QApplication::processEvents();

    return QApplication::exec();
}
