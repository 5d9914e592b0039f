#pragma once
// What the feedback dialog sends: the checks on its fields, the report's
// payload and the archive of the log directory.

#include <json/value.h>

#include <QDateTime>
#include <QString>

namespace feedback {

enum Type { Issue = 0, Suggestion = 1 }; // the dialog's type box positions

struct Fields {
    QString description;
    int type = Issue;
    QString deviceInfo;
    QString contactInfo;
    QString emailInfo;
};

// The message for the first check that fails, in the order the user is told
// of them; empty when the report may be sent.
QString inputError(const Fields &f);

// clientId + "-" + yyyyMMdd-hh:mm:ss + ".tar.gz".
QString archiveName(const QString &clientId, const QDateTime &when);

// The report: all six members as strings.
Json::Value payload(const Fields &f, const QString &logFileName);

// Packs `logsDir` into the gzip tar archive `archivePath`. The archive is made
// afresh, readable by the user alone, and never through a link someone else
// placed at that name. False when the file could not be made ours; tar's own
// failures are only logged (it fails on a log written while it reads).
bool packLogs(const QString &archivePath, const QString &logsDir);

} // namespace feedback
