// The wrapped file for raw delivery: header, the document byte for byte,
// footer. Streamed, and either complete under its final name or absent.

#include "pjl/PJLHeader.h"

#include "platform/RLog.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kCopyChunk = 64 * 1024;

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
    // Closes now so that the caller sees what the close reports.
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string cause(const std::string &what, const std::string &path, int error)
{
    return what + " " + path + ": " + std::strerror(error);
}

// A short write counts as a failure only once the rest cannot be written.
bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Copies the whole of `in` to `out`; on failure `error` names the side that failed.
bool copyAll(int in, int out, const std::string &inPath, const std::string &outPath, std::string &error)
{
    std::vector<char> chunk(kCopyChunk);
    for (;;) {
        const ssize_t got = ::read(in, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = cause("cannot read", inPath, errno);
            return false;
        }
        if (got == 0)
            return true;
        if (!writeAll(out, chunk.data(), static_cast<std::size_t>(got))) {
            error = cause("cannot write", outPath, errno);
            return false;
        }
    }
}

} // namespace

std::string PJLHeader::generateNewPdf(std::string path)
{
    lastError_.clear();
    const std::string wrapped = path + ".withheader";
    // A file left by an earlier attempt is never mistaken for this one's result.
    ::unlink(wrapped.c_str());

    const auto fail = [&](const std::string &error) {
        lastError_ = error;
        TLOG("exception:" + error);
        return std::string();
    };

    Fd in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return fail(cause("cannot open", path, errno));

    // Written under a private temporary name and renamed only when complete;
    // the spool directory is shared, so the name is never followed or reused.
    std::string temp = wrapped + ".XXXXXX";
    Fd out(::mkostemp(temp.data(), O_CLOEXEC));
    if (out.get() < 0)
        return fail(cause("cannot create", temp, errno));
    struct TempGuard {
        const std::string &path;
        bool keep = false;
        ~TempGuard()
        {
            if (!keep)
                ::unlink(path.c_str());
        }
    } guard{temp};

    const std::string head = header();
    TLOG("brand: " + brand);
    TLOG("pdf header(pjl): " + head);
    const std::string foot = footer();

    if (!writeAll(out.get(), head.data(), head.size()))
        return fail(cause("cannot write", temp, errno));
    std::string error;
    if (!copyAll(in.get(), out.get(), path, temp, error))
        return fail(error);
    if (!writeAll(out.get(), foot.data(), foot.size()))
        return fail(cause("cannot write", temp, errno));
    if (!out.close())
        return fail(cause("cannot write", temp, errno));
    if (::rename(temp.c_str(), wrapped.c_str()) != 0)
        return fail(cause("cannot rename to", wrapped, errno));
    guard.keep = true;
    return wrapped;
}
