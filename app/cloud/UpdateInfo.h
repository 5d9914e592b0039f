#pragma once
// The version check: what the service offers and whether it must be taken.

#include <QMetaType>
#include <QString>

class UpdateInfo
{
public:
    QString packageName;      // object name of the package in the object storage
    QString note;             // shown large in the new-version window: "V" + the version offered
    bool needUpdate = false;  // the service names another version than ours
    bool forceUpdate = false; // the service demands it
};

Q_DECLARE_METATYPE(UpdateInfo)

// Empty normally; kForceUpdate once a forced update was announced, which makes
// the job watcher offer it again; any other text is a notice for the user.
// Main thread only.
extern QString gFatalError;
extern const char kForceUpdate[]; // "FORCE_UPDATE"

namespace util {

// The service's answer "OK:<version>,<YES|other>,<package>" read against our
// version `ownVersion`. Anything else means no update.
UpdateInfo parseUpdateAnswer(const QString &answer, const QString &ownVersion);

// Asks the service (Itf::CheckVersion) and reads the answer against config::clientVersion.
UpdateInfo getUpdateInfo();

// gFatalError holds the forced-update mark (letter case ignored).
bool forcedUpdatePending();

} // namespace util
