#pragma once
// TCP connect tests: the searches and the add and check workers ask "does
// port 631 answer?" before anything slower. Nothing is sent; a made
// connection is closed at once. Plain sockets rather than QTcpSocket, so that
// many connects can wait in one poll.

#include <QString>
#include <QStringList>
#include <QVector>

namespace util {

// Connects to host:port (a name or an IPv4/IPv6 address) within timeoutMs.
bool tcpProbe(const QString &host, int port, int timeoutMs);

// The same test for many numeric addresses at once, at most maxParallel
// connects in flight; each connect gets its own timeoutMs from the moment it
// starts. Entry i answers for hosts[i]; a host that is not a numeric address
// is false without any lookup.
QVector<bool> tcpProbeMany(const QStringList &hosts, int port, int timeoutMs, int maxParallel);

} // namespace util
