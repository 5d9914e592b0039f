#include "backend/Capture.h"

#include "backend/SpoolFormat.h"
#include "platform/Log.h"

#include <uuid/uuid.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace capture {
namespace {

std::atomic<bool> g_cancelled{false};

std::string Guid()
{
    uuid_t raw;
    uuid_generate_random(raw);
    char text[37];
    uuid_unparse_lower(raw, text);
    return text;
}

std::string errnoText(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

// A descriptor closed on every path.
class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now and reports whether the close itself succeeded (late write errors).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR && !g_cancelled)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Streams `in` into `out` without holding the job in memory. Regular files
// are copied inside the kernel where it can; pipes go through one buffer.
bool copyStream(int in, int out, std::string &error)
{
    struct stat st{};
    if (::fstat(in, &st) == 0 && S_ISREG(st.st_mode)) {
        for (;;) {
            if (g_cancelled) {
                error = "job cancelled";
                return false;
            }
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
            if (n == 0)
                return true;
            if (n > 0)
                continue;
            if (errno == EINTR)
                continue;
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
                break; // fall back to the plain copy, from where the kernel stopped
            error = errnoText("cannot copy print data");
            return false;
        }
    }
    if (S_ISFIFO(st.st_mode)) {
        // From a pipe the kernel moves pages into the file without a copy through user space.
        for (;;) {
            if (g_cancelled) {
                error = "job cancelled";
                return false;
            }
            const ssize_t n = ::splice(in, nullptr, out, nullptr, 1 << 20, SPLICE_F_MOVE | SPLICE_F_MORE);
            if (n == 0)
                return true;
            if (n > 0)
                continue;
            if (errno == EINTR)
                continue;
            if (errno == EINVAL || errno == ENOSYS)
                break;
            error = errnoText("cannot write document");
            return false;
        }
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        if (g_cancelled) {
            error = "job cancelled";
            return false;
        }
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errnoText("cannot read print data");
            return false;
        }
        if (!writeAll(out, buffer.data(), static_cast<std::size_t>(n))) {
            error = g_cancelled ? std::string("job cancelled") : errnoText("cannot write document");
            return false;
        }
    }
}

// Creates a new file in the spool directory for the user alone. O_EXCL and
// O_NOFOLLOW: nothing planted under that name is ever followed or reused.
int createOwned(int dirFd, const std::string &name, uid_t uid, gid_t gid)
{
    const int fd = ::openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::fchown(fd, uid, gid) != 0 || ::fchmod(fd, 0600) != 0) {
        const int saved = errno;
        ::close(fd);
        ::unlinkat(dirFd, name.c_str(), 0);
        errno = saved;
        return -1;
    }
    return fd;
}

// The spool root stays root's and searchable; each user directory is the user's alone.
int openUserDirectory(const std::string &root, const std::string &user, uid_t uid, gid_t gid, std::string &error)
{
    ::mkdir(root.c_str(), 0711);
    Fd rootFd(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!rootFd.valid()) {
        error = errnoText("cannot open spool root " + root);
        return -1;
    }
    struct stat rootStat{};
    if (::fstat(rootFd.get(), &rootStat) == 0 && rootStat.st_uid == ::geteuid())
        ::fchmod(rootFd.get(), 0711);

    ::mkdirat(rootFd.get(), user.c_str(), 0700);
    const int dirFd = ::openat(rootFd.get(), user.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0) {
        error = errnoText("cannot open spool directory " + root + user);
        return -1;
    }
    struct stat st{};
    if (::fstat(dirFd, &st) != 0 || ((st.st_uid != uid || st.st_gid != gid) && ::fchown(dirFd, uid, gid) != 0)
        || ((st.st_mode & 07777) != 0700 && ::fchmod(dirFd, 0700) != 0)) {
        error = errnoText("cannot give spool directory " + root + user + " to " + user);
        ::close(dirFd);
        return -1;
    }
    return dirFd;
}

} // namespace

void requestCancel()
{
    g_cancelled = true;
}

Result captureJob(const Request &request)
{
    Result result;
    if (!spool::isSafeUserName(request.user)) {
        result.error = "invalid user name";
        return result;
    }
    const struct passwd *account = ::getpwnam(request.user.c_str());
    if (!account) {
        result.error = "no local account named " + request.user;
        return result;
    }
    const uid_t uid = account->pw_uid;
    const gid_t gid = account->pw_gid;

    Fd input(request.printFile.empty() ? ::dup(STDIN_FILENO)
                                       : ::open(request.printFile.c_str(), O_RDONLY | O_CLOEXEC));
    if (!input.valid()) {
        result.error = errnoText("cannot open print file " + request.printFile);
        return result;
    }

    const std::string root = spool::spoolRoot(request.fileDir);
    Fd dir(openUserDirectory(root, request.user, uid, gid, result.error));
    if (!dir.valid())
        return result;

    result.jobId = Guid();
    const std::string docName = result.jobId + spool::kDocumentSuffix;
    const std::string ctrlName = docName + spool::kControlSuffix;
    const std::string doneName = docName + spool::kDoneSuffix;
    const std::string docPath = root + request.user + "/" + docName;
    LOG_PLAIN_INFO("start job:" + result.jobId + " for:" + request.user);

    std::vector<std::string> written;
    auto fail = [&](const std::string &why) {
        for (const auto &name : written)
            ::unlinkat(dir.get(), name.c_str(), 0);
        result.ok = false;
        result.error = why;
        return result;
    };
    auto writeNew = [&](const std::string &name, const std::string &text) {
        Fd fd(createOwned(dir.get(), name, uid, gid));
        if (!fd.valid())
            return false;
        written.push_back(name);
        return writeAll(fd.get(), text.data(), text.size()) && fd.close();
    };

    {
        Fd doc(createOwned(dir.get(), docName, uid, gid));
        if (!doc.valid()) {
            LOG_PLAIN_ERROR("open file failed:" + docPath);
            return fail(errnoText("cannot create " + docPath));
        }
        written.push_back(docName);
        std::string copyError;
        if (!copyStream(input.get(), doc.get(), copyError))
            return fail(copyError);
        if (!doc.close())
            return fail(errnoText("cannot write document"));
        LOG_PLAIN_INFO(request.printFile.empty() ? "print ok" : "copy ok");
    }

    const std::string control = spool::controlText(
        {docPath, request.user, request.title, request.copies, request.deviceUri, result.jobId, request.options});
    if (!writeNew(ctrlName, control))
        return fail(errnoText("cannot write control file"));
    // The marker commits the job: the desktop program acts on nothing before it exists.
    if (!writeNew(doneName, result.jobId))
        return fail(errnoText("cannot write done marker"));
    result.ok = true;
    return result;
}

} // namespace capture
