#pragma once
// Finding finished jobs in a user's spool directory: every regular file whose
// name ends with ".done" is the marker of one job, whose document path is the
// marker's path without that suffix.

#include <QString>
#include <QStringList>

struct SpoolScan {
    QStringList markers; // marker paths, in listing order
    QStringList jobs;    // the matching document paths, same order
};

// Lists the markers of `spoolDir`; a missing or unreadable directory gives none.
SpoolScan scanSpool(const QString &spoolDir);

// Scans and deletes every marker found, so that each job is taken once.
// Returns the document paths of the jobs taken; a job whose marker cannot be
// deleted is left for a later pass rather than taken again and again.
QStringList claimJobs(const QString &spoolDir);
