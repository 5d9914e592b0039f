#pragma once

#include <QString>

// Removes every file of the job whose document is `docPath`: the document,
// its control file, its ".dest" output and the rotated copies. Missing files
// are no error.
void cleanJob(QString docPath);
