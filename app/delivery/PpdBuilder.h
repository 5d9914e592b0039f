#pragma once

#include <QString>

// Asks the printer at uri ("ipp://" + address, optionally with port and
// path) for all its attributes and lets libcups write a driverless PPD from
// them into a new temporary file. ppdPath receives the file's path, or is
// empty; true exactly when a file exists there. The caller deletes it.
bool URF_GetPPDFile(QString uri, QString &ppdPath);
