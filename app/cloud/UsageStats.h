#pragma once
// Successful prints per printer model, counted in config.ini under
// "ModelUsage/<model>": 0..19 counting, 20 report due, 21 reported.

#include <QString>

namespace util {

// Called after every successful delivery. On the print after the twentieth
// the model is reported to the service; the count moves on to 21 only when
// the service acknowledges ("OK" reply), so a failed report is tried again.
void printOKCount(const QString &deviceId, const QString &deviceModel);

} // namespace util
