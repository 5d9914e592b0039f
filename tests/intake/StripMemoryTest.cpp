// A 1 GiB document is stripped with flat memory: the copy is streamed, never
// held whole. Checks peak resident memory, not time.

#include "IntakeSupport.h"

#include "intake/PSUtil.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <fcntl.h>
#include <unistd.h>

using namespace intaketest;

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

QByteArray readAt(const QString &path, qint64 offset, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(offset))
        return {};
    return f.read(size);
}

TEST(StripLargeDocument, OneGibibyteWithFlatMemory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const qint64 available = QStorageInfo(dir.path()).bytesAvailable();
    if (available < 3 * 1024 * kMiB)
        GTEST_SKIP() << "needs 3 GiB free in " << dir.path().toStdString() << ", has " << available / kMiB << " MiB";

    // Block and PDF header up front, a sparse middle, a trailer at the very end.
    const QString doc = dir.filePath(QStringLiteral("large.tmp"));
    const QByteArray head = optionBlock({"KWDuplex=3", "InputSlot=Tray1"}) + "%PDF-1.7\n";
    const QByteArray trailer("%%EOF\n");
    {
        const int fd = ::open(doc.toUtf8().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, head.constData(), head.size()), head.size());
        ASSERT_EQ(::ftruncate(fd, kDocumentSize), 0);
        ASSERT_EQ(::pwrite(fd, trailer.constData(), trailer.size(), kDocumentSize - trailer.size()), trailer.size());
        ASSERT_EQ(::close(fd), 0);
    }
    const qint64 blockSize = head.size() - qstrlen("%PDF-1.7\n");

    resetPeakRss();
    const qint64 before = peakRss();
    ASSERT_GT(before, 0);
    kestrelware::JobOption option;
    const QString result = QString::fromStdWString(kestrelware::PSUtil::FilterPdf(doc.toStdWString(), option));
    const qint64 growth = peakRss() - before;

    ASSERT_EQ(result, doc + ".dest");
    EXPECT_FALSE(QFile::exists(doc));
    EXPECT_EQ(option.duplex, 3);
    EXPECT_EQ(QFileInfo(result).size(), kDocumentSize - blockSize);
    EXPECT_EQ(readAt(result, 0, 9), QByteArray("%PDF-1.7\n"));
    EXPECT_EQ(readAt(result, kDocumentSize - blockSize - trailer.size(), trailer.size()), trailer);
    EXPECT_LT(growth, 16 * kMiB) << "peak resident memory grew by " << growth / kMiB << " MiB";
    RecordProperty("peak_rss_growth_bytes", QString::number(growth).toStdString());
}

} // namespace
