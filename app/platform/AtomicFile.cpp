#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace util {
namespace {

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &content, unsigned mode)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    QByteArray tmpl = target + ".XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;

    struct stat old{};
    const mode_t wanted = ::stat(target.constData(), &old) == 0 ? (old.st_mode & 07777) : static_cast<mode_t>(mode);
    bool ok = ::fchmod(fd, wanted) == 0 && writeAll(fd, content.constData(), content.size()) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(tmpl.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(tmpl.constData());
        return false;
    }
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace util
