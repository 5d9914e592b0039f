// tavrinapp: the desktop tray program.

#include "platform/RLog.h"
#include "storage/Config.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavrinapp"));
    util::initAppLog(config::logDir);
    config::load();
    TLOG("tavrinapp started");
    return 0;
}
