#pragma once
// The two automatic update checks of the main window. GUI thread only: both
// block while the service answers and while the new-version window is open.

class QWidget;

// The periodic check (start-up and every 30 minutes): an update opens the
// new-version window modally over `parent`; once it closes, a forced update
// sets gFatalError to FORCE_UPDATE. No update clears gFatalError; an optional
// one leaves it as it was.
void checkForUpdate(QWidget *parent);

// The job watcher's reminder while gFatalError is FORCE_UPDATE: asks again and
// shows the new-version window only while the update is still needed and forced.
void remindForcedUpdate(QWidget *parent);
