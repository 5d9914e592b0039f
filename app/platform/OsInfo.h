#pragma once

#include <QString>

struct OSReleaseInfo {
    QString name;
    QString prettyName;
    QString version;
};

namespace util {

// NAME, PRETTY_NAME and VERSION of the os-release file; empty when missing.
OSReleaseInfo osInfo(const QString &path = QStringLiteral("/etc/os-release"));

// True on UOS, whatever the letter case of its name.
bool osCurrentSystem(const QString &path = QStringLiteral("/etc/os-release"));

} // namespace util
