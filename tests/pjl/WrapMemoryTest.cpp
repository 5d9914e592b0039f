// A 1 GiB document is wrapped with flat memory: the copy is streamed, never
// held whole. Checks peak resident memory, not time.

#include "PjlSupport.h"

#include "pjl/PJLHeader.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

using namespace pjltest;

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kDocumentSize = 1024 * kMiB;

// Peak resident set size of this process in bytes, from /proc/self/status.
qint64 peakRss()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// Lets the peak start again from the current resident size (Linux 4.0 and later).
void resetPeakRss()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

std::string readAt(const std::string &path, qint64 offset, qint64 size)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly) || !f.seek(offset))
        return {};
    return f.read(size).toStdString();
}

TEST(WrapLargeDocument, OneGibibyteWithFlatMemory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const qint64 available = QStorageInfo(dir.path()).bytesAvailable();
    if (available < 3 * 1024 * kMiB)
        GTEST_SKIP() << "needs 3 GiB free in " << dir.path().toStdString() << ", has " << available / kMiB << " MiB";

    // PDF header up front, a sparse middle, a trailer at the very end.
    const std::string doc = dir.filePath(QStringLiteral("large.pdf")).toStdString();
    const std::string head("%PDF-1.7\n");
    const std::string trailer("%%EOF\n");
    {
        const int fd = ::open(doc.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
        ASSERT_EQ(::ftruncate(fd, kDocumentSize), 0);
        ASSERT_EQ(::pwrite(fd, trailer.data(), trailer.size(), kDocumentSize - static_cast<qint64>(trailer.size())),
                  static_cast<ssize_t>(trailer.size()));
        ASSERT_EQ(::close(fd), 0);
    }

    PJLHeader pjl(J().color("color").copy("2").name("large.pdf"), "05");
    const std::string header = pjl.header();
    const std::string footer = pjl.footer();
    resetPeakRss();
    const qint64 before = peakRss();
    ASSERT_GT(before, 0);
    const std::string wrapped = pjl.generateNewPdf(doc);
    const qint64 growth = peakRss() - before;

    ASSERT_EQ(wrapped, doc + ".withheader") << pjl.lastError();
    const qint64 total = static_cast<qint64>(header.size()) + kDocumentSize + static_cast<qint64>(footer.size());
    EXPECT_EQ(QFileInfo(QString::fromStdString(wrapped)).size(), total);
    EXPECT_TRUE(sameBytes(header + head, readAt(wrapped, 0, static_cast<qint64>((header + head).size()))));
    EXPECT_TRUE(sameBytes(trailer + footer, readAt(wrapped, total - static_cast<qint64>((trailer + footer).size()),
                                                   static_cast<qint64>((trailer + footer).size()))));
    EXPECT_LT(growth, 16 * kMiB) << "peak resident memory grew by " << growth / kMiB << " MiB";
    RecordProperty("peak_rss_growth_bytes", std::to_string(growth));
}

} // namespace
