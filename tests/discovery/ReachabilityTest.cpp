// Connect tests against loopback listeners: open and closed ports, names
// that are not addresses, and many tests at once keeping their order.

#include "discovery/Reachability.h"

#include "DiscoveryTestSupport.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A listening socket on 127.0.0.1 that never accepts (its queue holds every
// connect of the test) and a free port on which nothing listens.
class LoopbackPorts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_listener = listenOn(0, &m_open);
        ASSERT_GE(m_listener, 0);
        int closedFd = listenOn(0, &m_closed);
        ASSERT_GE(closedFd, 0);
        ::close(closedFd);
    }
    void TearDown() override
    {
        if (m_listener >= 0)
            ::close(m_listener);
    }

    static int listenOn(int port, int *bound)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<uint16_t>(port));
        socklen_t length = sizeof addr;
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(fd, 4096) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &length) != 0)
            return -1;
        *bound = ntohs(addr.sin_port);
        return fd;
    }

    int m_listener = -1;
    int m_open = 0;
    int m_closed = 0;
};

TEST_F(LoopbackPorts, SingleConnect)
{
    EXPECT_TRUE(util::tcpProbe(QStringLiteral("127.0.0.1"), m_open, 1000));
    EXPECT_TRUE(util::tcpProbe(QStringLiteral("localhost"), m_open, 1000));
    EXPECT_FALSE(util::tcpProbe(QStringLiteral("127.0.0.1"), m_closed, 1000));
    EXPECT_FALSE(util::tcpProbe(QStringLiteral("127.0.0.1"), 0, 1000));
    EXPECT_FALSE(util::tcpProbe(QString(), m_open, 1000));
}

TEST_F(LoopbackPorts, ManyConnectsKeepTheirPlaces)
{
    // 127.0.0.0/8 is all loopback: every address reaches the listener, which
    // is bound to 127.0.0.1 only, so the others are refused.
    QStringList hosts;
    QVector<bool> expected;
    for (int i = 0; i < 150; ++i) {
        const bool listening = i % 7 == 3;
        hosts << (listening ? QStringLiteral("127.0.0.1") : QStringLiteral("127.0.0.%1").arg(2 + i % 200));
        expected << listening;
    }
    hosts << QStringLiteral("localhost") << QStringLiteral("127.0.0.1:631") << QString();
    expected << false << false << false; // names and texts with ports are never looked up

    for (int parallel : {1, 8, 64, 1000})
        EXPECT_EQ(util::tcpProbeMany(hosts, m_open, 1000, parallel), expected) << parallel;
    EXPECT_TRUE(util::tcpProbeMany({}, m_open, 1000, 64).isEmpty());
}

} // namespace
