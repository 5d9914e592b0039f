#pragma once
// The values the program itself writes to config.ini (first run, usage
// counters). config.ini lies in the root-owned tool directory, where Qt cannot
// replace it or put its lock file for a normal user; such a user keeps the
// written values in a file of their own, which overrides config.ini on reading.

#include <QString>
#include <QVariant>

namespace config {

// The per-user file: the user's data directory + "/" + $USER + "_config.ini".
QString userIniPath();

// `key` from the user's file when it holds it, else from config.ini.
QVariant iniValue(const QString &key, const QVariant &defaultValue = QVariant());

// Writes to config.ini when its directory is writable, otherwise to the
// user's file. False when the value could not be stored.
bool setIniValue(const QString &key, const QVariant &value);

} // namespace config
