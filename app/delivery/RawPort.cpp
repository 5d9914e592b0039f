#include "delivery/RawPort.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace delivery {

namespace {

class Fd
{
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

QString errnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

int socketError(int fd)
{
    int err = 0;
    socklen_t len = sizeof(err);
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) < 0)
        return errno;
    return err;
}

// A non-blocking socket connected to host:port, or -1 with the reason.
int connectTo(const QString &host, int port, int timeoutMs, QString &error)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const int rc = ::getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &found);
    if (rc != 0) {
        error = QString::fromLocal8Bit(::gai_strerror(rc));
        return -1;
    }
    std::unique_ptr<addrinfo, void (*)(addrinfo *)> list(found, ::freeaddrinfo);
    QElapsedTimer clock;
    clock.start();
    error = QStringLiteral("no address");
    for (addrinfo *ai = found; ai; ai = ai->ai_next) {
        Fd fd(::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol));
        if (fd.get() < 0) {
            error = errnoText(errno);
            continue;
        }
        if (::connect(fd.get(), ai->ai_addr, ai->ai_addrlen) < 0 && errno != EINPROGRESS) {
            error = errnoText(errno);
            continue;
        }
        pollfd p{fd.get(), POLLOUT, 0};
        const int left = timeoutMs - static_cast<int>(clock.elapsed());
        const int ready = left > 0 ? ::poll(&p, 1, left) : 0;
        if (ready == 0) {
            error = QStringLiteral("connection timed out after %1 ms").arg(timeoutMs);
            continue;
        }
        const int err = ready < 0 ? errno : socketError(fd.get());
        if (err != 0) {
            error = errnoText(err);
            continue;
        }
        return fd.release();
    }
    return -1;
}

// Writes all of data, waiting up to stallMs whenever the printer takes nothing.
bool sendAll(int fd, const char *data, qint64 size, int stallMs, qint64 &sent, QString &error)
{
    qint64 off = 0;
    while (off < size) {
        const ssize_t n = ::send(fd, data + off, static_cast<size_t>(size - off), MSG_NOSIGNAL);
        if (n > 0) {
            off += n;
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            error = errnoText(errno);
            return false;
        }
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, stallMs);
        if (ready == 0) {
            error = QStringLiteral("the printer took no data for %1 ms").arg(stallMs);
            return false;
        }
        if (ready < 0 && errno != EINTR) {
            error = errnoText(errno);
            return false;
        }
    }
    return true;
}

// Reads and drops whatever the printer sends back (PJL status); false with
// the reason on a connection error, peerClosed once it has closed its side.
bool readBack(int fd, bool &peerClosed, QString &error)
{
    char scratch[4096];
    const ssize_t n = ::recv(fd, scratch, sizeof(scratch), 0);
    if (n == 0)
        peerClosed = true;
    else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        error = errnoText(errno);
        return false;
    }
    return true;
}

// After our side is closed: waits until the printer's system has
// acknowledged every byte, then briefly for the printer to close its side.
// Acknowledged data can still be thrown away by a printer that resets the
// connection after reading only part of it; a reset within closeGraceMs
// counts as a failure, silence as a success.
bool drain(int fd, int stallMs, int closeGraceMs, QString &error)
{
    int lastQueued = -1;
    bool peerClosed = false;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, SIOCOUTQ, &queued) < 0) {
            error = errnoText(errno);
            return false;
        }
        // A reset empties the queue, so the error is read after the queue.
        if (const int err = socketError(fd)) {
            error = errnoText(err);
            return false;
        }
        if (queued == 0)
            break;
        if (queued != lastQueued) {
            lastQueued = queued;
            sinceProgress.restart();
        } else if (sinceProgress.elapsed() > stallMs) {
            error = QStringLiteral("the printer acknowledged nothing for %1 ms").arg(stallMs);
            return false;
        }
        pollfd p{fd, static_cast<short>(peerClosed ? 0 : POLLIN), 0};
        if (::poll(&p, 1, 50) > 0 && (p.revents & POLLIN) && !readBack(fd, peerClosed, error))
            return false;
    }
    QElapsedTimer grace;
    grace.start();
    while (!peerClosed) {
        const int left = closeGraceMs - static_cast<int>(grace.elapsed());
        if (left <= 0)
            return true;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, left);
        if (ready > 0 && !readBack(fd, peerClosed, error))
            return false;
    }
    if (const int err = socketError(fd)) {
        error = errnoText(err);
        return false;
    }
    return true;
}

} // namespace

RawSendResult sendFileRaw(const QString &host, int port, const QString &path, const RawSendLimits &limits)
{
    RawSendResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.readable = false;
        result.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return result;
    }
    result.total = file.size();

    Fd fd(connectTo(host, port, limits.connectTimeoutMs, result.error));
    if (fd.get() < 0)
        return result;
    result.connected = true;

    std::vector<char> chunk(static_cast<size_t>(limits.chunkBytes));
    for (;;) {
        const qint64 n = file.read(chunk.data(), static_cast<qint64>(chunk.size()));
        if (n < 0) {
            result.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
            return result;
        }
        if (n == 0)
            break;
        if (!sendAll(fd.get(), chunk.data(), n, limits.stallTimeoutMs, result.sent, result.error))
            return result;
    }
    if (result.sent != result.total) {
        result.error = QStringLiteral("%1 changed while it was sent").arg(path);
        return result;
    }
    ::shutdown(fd.get(), SHUT_WR);
    result.complete = drain(fd.get(), limits.stallTimeoutMs, limits.closeGraceMs, result.error);
    return result;
}

} // namespace delivery
