#include "delivery/Telnet.h"

#include "discovery/Reachability.h"

namespace util {

// The dispatcher's name for the connect test the searches use.
bool telnet(QString host, int port, int timeoutMs)
{
    return tcpProbe(host, port, timeoutMs);
}

} // namespace util
