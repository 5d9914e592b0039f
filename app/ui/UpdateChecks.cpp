#include "ui/UpdateChecks.h"

#include "cloud/UpdateInfo.h"
#include "ui/VersionNewWin.h"

void checkForUpdate(QWidget *parent)
{
    const UpdateInfo info = util::getUpdateInfo();
    if (!info.needUpdate) {
        gFatalError.clear();
        return;
    }
    VersionNewWin win(info, parent);
    win.exec();
    if (info.forceUpdate)
        gFatalError = QString::fromLatin1(kForceUpdate);
}

void remindForcedUpdate(QWidget *parent)
{
    const UpdateInfo info = util::getUpdateInfo();
    if (info.needUpdate && info.forceUpdate) {
        VersionNewWin win(info, parent);
        win.exec();
    }
}
