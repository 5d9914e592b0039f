#pragma once

#include <QString>

namespace util {

// Whether a TCP connection to host:port (a name or an IPv4/IPv6 address)
// can be made within timeoutMs. The connection is closed at once; nothing
// is sent.
bool telnet(QString host, int port, int timeoutMs);

} // namespace util
