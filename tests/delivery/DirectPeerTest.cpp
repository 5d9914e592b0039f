// Direct delivery to the raw port of simulated printers: the wrapped file
// arrives whole, a transfer that is broken off is a failure, and nothing is
// left behind either way.

#include "DeliveryPeerSupport.h"

#include "delivery/RawPort.h"
#include "pjl/PJLHeader.h"

#include <QRandomGenerator>

using namespace deliverytest;

namespace {

class Direct : public DeliveryPeer
{
protected:
    // `size` bytes that compress badly, so the transfer really is that long.
    QString randomFile(int size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        QRandomGenerator gen(size);
        for (char &c : bytes)
            c = static_cast<char>(gen.generate() & 0xff);
        const QString path = newDocPath();
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }
};

TEST_F(Direct, PrinterReceivesHeaderDocumentFooter)
{
    const struct {
        const char *brand;
        const char *color;
        const char *duplex;
    } rows[] = {
        {"05", "color", "two-sided-long-edge"},
        {"03", "monochrome", "one-sided"}, // the job-ticket header and its footer
        {"18", "monochrome", "two-sided-short-edge"},
    };
    for (const auto &row : rows) {
        ASSERT_TRUE(fleet.clear("hp"));
        AppLog log;
        const int counted = usage("Model hp");
        const QString doc = spoolPdf(2);
        const QByteArray pdf = readBytes(doc);
        JobAction a = action("hp", "dirpdf", doc, QString::fromLatin1(row.brand));
        a.job.copy = "2";
        a.job.color = QString::fromLatin1(row.color);
        a.job.duplex = QString::fromLatin1(row.duplex);
        a.job.name = "季度报告.pdf";
        PJLHeader pjl(a.job, row.brand);
        const QByteArray expected =
            QByteArray::fromStdString(pjl.header()) + pdf + QByteArray::fromStdString(pjl.footer());

        ASSERT_TRUE(a.print()) << row.brand << " " << a.lastError.toStdString();
        const QJsonArray jobs = fleet.jobs("hp", "raw", 1);
        ASSERT_EQ(jobs.size(), 1) << row.brand;
        EXPECT_EQ(field(jobs[0], "ended_by"), "peer");
        EXPECT_TRUE(sameBytes(expected, readBytes(field(jobs[0], "document")))) << row.brand;
        EXPECT_EQ(fleet.jobs("hp", "ipp").size(), 0) << "nothing went by IPP";
        EXPECT_EQ(log.count("Using raw(9100) sending job: " + doc.toStdString()), 1);
        EXPECT_EQ(usage("Model hp"), counted + 1);
        EXPECT_EQ(leftovers(), QStringList()) << "no wrapped file left";
    }
}

TEST_F(Direct, StreamsFilesOfAnySizeExactly)
{
    ASSERT_TRUE(fleet.clear("hp"));
    // Less than a chunk, chunk boundaries, and a few MiB.
    const int sizes[] = {1, 25000, 65536, 65537, 3 * 1024 * 1024 + 7};
    for (int size : sizes) {
        const QString path = randomFile(size);
        const delivery::RawSendResult r = delivery::sendFileRaw(fleet.ip("hp"), 9100, path);
        EXPECT_TRUE(r.connected && r.complete) << size << " " << r.error.toStdString();
        EXPECT_EQ(r.sent, size);
        EXPECT_EQ(r.total, size);
        QFile::remove(path);
    }
    const QJsonArray jobs = fleet.jobs("hp", "raw", 5);
    ASSERT_EQ(jobs.size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(field(jobs[i], "bytes").toInt(), sizes[i]);
}

TEST_F(Direct, ConnectionResetMidwayIsAFailure)
{
    ASSERT_TRUE(fleet.clear("drop"));
    const int counted = usage("Model drop");
    // Large enough that the reset after 4096 bytes comes while data is still on the way.
    const QString doc = newDocPath();
    ASSERT_TRUE(makePdf(doc, 1));
    const QString big = randomFile(4 * 1024 * 1024);
    QFile::remove(doc);
    QFile::rename(big, doc);
    JobAction a = action("drop", "dirpdf", doc, "05");
    EXPECT_FALSE(a.print());
    EXPECT_TRUE(a.lastError.startsWith("Raw sending failed, result: 0, ")) << a.lastError.toStdString();
    EXPECT_TRUE(a.lastError.contains(" bytes sent: ")) << a.lastError.toStdString();
    const QJsonArray jobs = fleet.jobs("drop", "raw", 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(field(jobs[0], "ended_by"), "fault");
    EXPECT_EQ(usage("Model drop"), counted);
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(Direct, ResetAfterTheLastByteIsStillAFailure)
{
    // The whole small file fits the printer's receive buffer and may be
    // acknowledged before the printer reads 4096 bytes of it and resets.
    ASSERT_TRUE(fleet.clear("drop"));
    const QString path = randomFile(8 * 1024);
    const delivery::RawSendResult r = delivery::sendFileRaw(fleet.ip("drop"), 9100, path);
    EXPECT_TRUE(r.connected);
    EXPECT_FALSE(r.complete);
    EXPECT_FALSE(r.error.isEmpty());
    QFile::remove(path);
}

TEST_F(Direct, ClosedRawPortAndUnreadableDocument)
{
    const QString doc = spoolPdf(1);
    JobAction closed = action("noraw", "dirpdf", doc, "05");
    EXPECT_FALSE(closed._sendDirectPDF());
    EXPECT_EQ(closed.lastError, "Raw sending failed, result: 0");
    EXPECT_EQ(leftovers(), QStringList({QFileInfo(doc).fileName()})) << "only the document itself";
    QFile::remove(doc);

    JobAction missing = action("hp", "dirpdf", newDocPath(), "05");
    EXPECT_FALSE(missing._sendDirectPDF());
    EXPECT_TRUE(missing.lastError.startsWith("Raw sending failed, result: 0, ")) << missing.lastError.toStdString();
    EXPECT_EQ(leftovers(), QStringList());
}

} // namespace
