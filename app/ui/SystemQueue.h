#pragma once
// The system's CUPS queue that feeds the capture backend: "塔文" with the
// device URI "tavrin://printer". Created at start when lpstat does not list it.

#include <QString>
#include <QStringList>

namespace ui {

extern const char kQueueName[]; // "塔文"
extern const char kQueueUri[];  // "tavrin://printer"

QStringList lpstatArgs();                    // -v 塔文
QStringList lpadminArgs(const QString &ppd); // -p 塔文 -E -v tavrin://printer -P ppd
// Whether lpstat's answer shows the queue with our device URI.
bool queueListed(const QString &lpstatOutput);

// Runs lpstat and, when the queue is missing, lpadmin; logs lpadmin's answer.
// Failures only leave the log line: the check repeats at the next start.
void ensureSystemQueue(const QString &ppd);

} // namespace ui
