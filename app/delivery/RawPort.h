#pragma once
// Streaming a file to a printer's raw port (AppSocket, TCP 9100).

#include <QString>
#include <QtGlobal>

namespace delivery {

struct RawSendResult {
    bool readable = true; // the file could be opened
    bool connected = false;
    bool complete = false; // every byte was taken and acknowledged by the printer
    qint64 sent = 0;       // bytes handed to the connection
    qint64 total = 0;      // size of the file
    QString error;         // why it is not complete
};

struct RawSendLimits {
    int connectTimeoutMs = 30000;
    // Longest time without progress (no byte taken or acknowledged) before
    // the transfer is given up. A printer busy with a page stops reading for a while.
    int stallTimeoutMs = 300000;
    // After every byte was acknowledged: how long to wait for the printer to
    // close its side, which shows it read everything (or reset, which shows
    // it did not).
    int closeGraceMs = 5000;
    // As large as cat's copies: with 10 KiB chunks the system calls halve the throughput.
    int chunkBytes = 65536;
};

// Connects to host:port, sends the file in chunks (never more than one chunk
// in memory), closes its side and waits until the printer has acknowledged
// every byte and, for a short while, until it closes the connection.
RawSendResult sendFileRaw(const QString &host, int port, const QString &path, const RawSendLimits &limits = {});

} // namespace delivery
