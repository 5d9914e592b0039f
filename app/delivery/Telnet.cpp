#include "delivery/Telnet.h"

#include <QTcpSocket>

namespace util {

bool telnet(QString host, int port, int timeoutMs)
{
    if (port <= 0 || port > 65535)
        return false;
    QTcpSocket socket;
    socket.connectToHost(host, static_cast<quint16>(port));
    const bool connected = socket.waitForConnected(timeoutMs);
    socket.abort();
    return connected;
}

} // namespace util
