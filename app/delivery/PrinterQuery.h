#pragma once
// The acceptance query: one Get-Printer-Attributes made with libcups.

#include <QString>

namespace delivery {

struct Acceptance {
    bool answered = false; // a response came back
    bool accepting = true; // printer-is-accepting-jobs; true when unknown
    QString uriSupported;  // first printer-uri-supported value, or empty
};

// Asks host:port (resource "/", printer-uri "ipp://host:port/") for
// printer-is-accepting-jobs and printer-uri-supported. The connection waits
// at most connectTimeoutMs, the answer at most answerTimeoutMs.
Acceptance queryAcceptance(const QString &host, int port, int connectTimeoutMs, int answerTimeoutMs);

} // namespace delivery
