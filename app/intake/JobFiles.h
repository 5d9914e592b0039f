#pragma once

#include <QString>

// Removes every file of the job whose document is `docPath`: the document,
// its control file, its ".dest" output and the rotated copies. Missing files
// are no error.
void cleanJob(QString docPath);

// Removes, from the user's spool directory, the temporary files that a
// delivery writes and renames (PJL-wrapped documents being written): at start
// no delivery runs yet, so any found are left by a program that died in the
// middle of one. Returns how many were removed.
int removeStaleTemporaries(const QString &spoolDir);
