#pragma once

#include "intake/Job.h"

#include <QString>

// Reads the control file of a spooled job into a Job, runs the option-block
// filter on `documentPath` when the control file has an options line
// (replacing it with the stripped document when there is one), deletes the
// control file and logs the result. A control file that cannot be opened
// leaves the Job at its defaults, the document path and the file untouched.
Job parseControlFile(const QString &ctrlPath, QString &documentPath);
