#include "discovery/Reachability.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace util {
namespace {

using Clock = std::chrono::steady_clock;

struct AddrInfoDeleter {
    void operator()(addrinfo *ai) const { ::freeaddrinfo(ai); }
};
using AddrInfoPtr = std::unique_ptr<addrinfo, AddrInfoDeleter>;

class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(Fd &&other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Fd &operator=(Fd &&other) noexcept
    {
        if (this != &other) {
            reset();
            m_fd = other.m_fd;
            other.m_fd = -1;
        }
        return *this;
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    void reset()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

AddrInfoPtr resolve(const QString &host, int port, bool numericOnly)
{
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | (numericOnly ? AI_NUMERICHOST : 0);
    addrinfo *found = nullptr;
    const QByteArray name = host.toUtf8();
    const QByteArray service = QByteArray::number(port);
    if (host.isEmpty() || port <= 0 || port > 65535 ||
        ::getaddrinfo(name.constData(), service.constData(), &hints, &found) != 0)
        return AddrInfoPtr();
    return AddrInfoPtr(found);
}

enum class Start { Connected, Pending, Failed };

// Starts a non-blocking connect; on Pending `fd` holds the socket to poll.
Start startConnect(const addrinfo *ai, Fd &fd)
{
    fd = Fd(::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol));
    if (fd.get() < 0)
        return Start::Failed;
    if (::connect(fd.get(), ai->ai_addr, ai->ai_addrlen) == 0)
        return Start::Connected;
    return errno == EINPROGRESS ? Start::Pending : Start::Failed;
}

bool connectedAfterPoll(int fd)
{
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

int msUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

bool tcpProbe(const QString &host, int port, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(qMax(timeoutMs, 0));
    const AddrInfoPtr list = resolve(host, port, false);
    for (const addrinfo *ai = list.get(); ai; ai = ai->ai_next) {
        Fd fd;
        const Start start = startConnect(ai, fd);
        if (start == Start::Connected)
            return true;
        if (start == Start::Failed)
            continue;
        pollfd p{fd.get(), POLLOUT, 0};
        int ready;
        do {
            ready = ::poll(&p, 1, msUntil(deadline));
        } while (ready < 0 && errno == EINTR);
        if (ready > 0 && connectedAfterPoll(fd.get()))
            return true;
        if (msUntil(deadline) == 0)
            return false;
    }
    return false;
}

QVector<bool> tcpProbeMany(const QStringList &hosts, int port, int timeoutMs, int maxParallel)
{
    QVector<bool> result(hosts.size(), false);
    struct Pending {
        int index;
        Fd fd;
        Clock::time_point deadline;
    };
    std::vector<Pending> pending;
    const int window = qMax(maxParallel, 1);
    int next = 0;

    while (next < hosts.size() || !pending.empty()) {
        while (next < hosts.size() && static_cast<int>(pending.size()) < window) {
            const int index = next++;
            const AddrInfoPtr ai = resolve(hosts.at(index), port, true);
            if (!ai)
                continue;
            Fd fd;
            const Start start = startConnect(ai.get(), fd);
            if (start == Start::Connected)
                result[index] = true;
            else if (start == Start::Pending)
                pending.push_back({index, std::move(fd), Clock::now() + std::chrono::milliseconds(qMax(timeoutMs, 0))});
        }
        if (pending.empty())
            continue;

        std::vector<pollfd> polls;
        Clock::time_point soonest = pending.front().deadline;
        for (const Pending &p : pending) {
            polls.push_back({p.fd.get(), POLLOUT, 0});
            soonest = qMin(soonest, p.deadline);
        }
        int ready;
        do {
            ready = ::poll(polls.data(), polls.size(), msUntil(soonest));
        } while (ready < 0 && errno == EINTR);

        const Clock::time_point now = Clock::now();
        std::vector<Pending> still;
        for (std::size_t i = 0; i < pending.size(); ++i) {
            if (ready > 0 && polls[i].revents != 0)
                result[pending[i].index] = connectedAfterPoll(pending[i].fd.get());
            else if (pending[i].deadline > now)
                still.push_back(std::move(pending[i]));
        }
        pending.swap(still);
    }
    return result;
}

} // namespace util
