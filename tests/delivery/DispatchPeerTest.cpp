// The dispatcher and the IPP submission against simulated printers: what
// the printer receives, what the user is told, what is left behind.

#include "DeliveryPeerSupport.h"

#include "delivery/Telnet.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

using namespace deliverytest;

namespace {

class Dispatch : public DeliveryPeer
{
};

TEST_F(Dispatch, PdfModeCarriesTheJobOptions)
{
    ASSERT_TRUE(fleet.clear("hp"));
    AppLog log;
    const QString doc = spoolPdf(2);
    const QByteArray pdf = readBytes(doc);
    JobAction a = action("hp", "pdf", doc);
    a.job.copy = "3";
    a.job.duplex = "two-sided-long-edge";
    a.job.color = "color";
    a.job.collate = "separate-documents-uncollated-copies";
    a.job.name = "Quarterly_report_2026.pdf";
    const int counted = usage("Model hp");

    ASSERT_TRUE(a.print()) << a.lastError.toStdString();
    EXPECT_TRUE(a.lastError.isEmpty());
    const QJsonArray jobs = fleet.jobs("hp", "ipp", 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(field(jobs[0], "format"), "application/pdf");
    EXPECT_EQ(field(jobs[0], "sha256"), sha256(pdf)) << "the PDF arrives unchanged";
    EXPECT_EQ(attr(jobs[0], "copies"), "3");
    EXPECT_EQ(attr(jobs[0], "sides"), "two-sided-long-edge");
    EXPECT_EQ(attr(jobs[0], "print-color-mode"), "color");
    EXPECT_EQ(attr(jobs[0], "multiple-document-handling"), "separate-documents-uncollated-copies");
    EXPECT_EQ(attr(jobs[0], "job-name"), "TavRin:Quarterly_report_2026.pdf");
    EXPECT_TRUE(attr(jobs[0], "media-col").contains("x-dimension=21000 y-dimension=29700"))
        << attr(jobs[0], "media-col").toStdString();

    EXPECT_EQ(leftovers(), QStringList());
    EXPECT_EQ(usage("Model hp"), counted + 1);
    for (const char *line : {"printer idle", "sending job to print.", "docType: pdf", "print A4 via ipp."})
        EXPECT_EQ(log.count(line), 1) << line;
    // The printer's own URI, as it advertises it, is where the job went.
    EXPECT_EQ(a.uri, "ipp://" + fleet.ip("hp") + ":631/ipp/print");
}

// The responder records what it decoded from the request, byte for byte.
TEST_F(Dispatch, JobNamesAndSizesArriveAsTheyAre)
{
    const QString tail = QString(248, QChar(0x62a5));
    const struct {
        QString name;
        QString received;
    } rows[] = {
        {QStringLiteral("a\"b\\c{d}e"), QStringLiteral("TavRin:a\"b\\c{d}e")},
        {QStringLiteral("$uri_${user}_$ENV[HOME]#1,2"), QStringLiteral("TavRin:$uri_${user}_$ENV[HOME]#1,2")},
        {QStringLiteral("季度报告"), QStringLiteral("TavRin:季度报告")},
        // Longer than 248 characters, or than 248 bytes: the tail is kept, where names differ.
        {QString(52, QLatin1Char('x')) + QString(248, QLatin1Char('y')),
         QStringLiteral("TavRin:") + QString(248, QLatin1Char('y'))},
        {QString(52, QLatin1Char('x')) + tail, QStringLiteral("TavRin:") + tail.right(82)},
    };
    for (const auto &row : rows) {
        ASSERT_TRUE(fleet.clear("noattr"));
        JobAction a = action("noattr", "pdf", spoolPdf(1));
        a.job.name = row.name;
        a.job.size = "a3";
        ASSERT_TRUE(a.print()) << a.lastError.toStdString();
        const QJsonArray jobs = fleet.jobs("noattr", "ipp", 1);
        ASSERT_EQ(jobs.size(), 1);
        EXPECT_EQ(attr(jobs[0], "job-name"), row.received);
        EXPECT_TRUE(attr(jobs[0], "media-col").contains("x-dimension=29700 y-dimension=42000"))
            << attr(jobs[0], "media-col").toStdString();
        EXPECT_EQ(leftovers(), QStringList());
    }
}

TEST_F(Dispatch, DirPdfWithRawPortClosedGoesByIpp)
{
    ASSERT_TRUE(fleet.clear("noraw"));
    AppLog log;
    const QString doc = spoolPdf(1);
    const QByteArray pdf = readBytes(doc);
    const int counted = usage("Model noraw");
    JobAction a = action("noraw", "dirpdf", doc, "05");
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();
    const QJsonArray jobs = fleet.jobs("noraw", "ipp", 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(field(jobs[0], "format"), "application/pdf");
    EXPECT_EQ(field(jobs[0], "sha256"), sha256(pdf));
    EXPECT_EQ(log.count("cannot connect raw(9100) port, using ap pdf"), 1);
    EXPECT_EQ(log.count("docType: dirpdf"), 1);
    EXPECT_EQ(leftovers(), QStringList());
    EXPECT_EQ(usage("Model noraw"), counted + 1);
}

TEST_F(Dispatch, AdvertisedIppsUriIsUsed)
{
    JobAction a = action("secure", "pdf", spoolPdf(1));
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();
    EXPECT_EQ(a.uri, "ipps://" + fleet.ip("secure") + ":631/ipp/print");
    const QJsonArray jobs = fleet.jobs("secure", "ipp", 1);
    ASSERT_GE(jobs.size(), 1);
    EXPECT_EQ(attr(jobs.last(), "job-name"), "TavRin:report.pdf");
}

TEST_F(Dispatch, PrinterWithoutAcceptingAttributeIsTakenAsAccepting)
{
    AppLog log;
    JobAction a = action("noattr", "pdf", spoolPdf(1));
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();
    EXPECT_EQ(log.count("printer idle"), 1);
    EXPECT_EQ(log.count("printer busy"), 0);
}

// A printer that holds one job at a time says server-error-busy while it
// still reports accepting jobs; the submission is repeated, not failed.
TEST_F(Dispatch, BusyAnswerIsRetried)
{
    ASSERT_TRUE(fleet.clear("busy"));
    ASSERT_TRUE(fleet.setRefusals("busy", 0));
    ASSERT_TRUE(fleet.setBusyJobs("busy", 2));
    AppLog log;
    JobAction a = action("busy", "pdf", spoolPdf(1));
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();
    EXPECT_EQ(log.count("printer answered busy, sending again in 2 s"), 2);
    const QJsonArray jobs = fleet.jobs("busy", "ipp", 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(attr(jobs[0], "job-name"), "TavRin:report.pdf");
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(Dispatch, Ipp10PrinterGetsTheVersionOption)
{
    const int counted = usage("Model old");
    JobAction a = action("old", "pdf", spoolPdf(1));
    a.printer.m_ipp_version = "VERSION 1.0";
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();
    const QJsonArray jobs = fleet.jobs("old", "ipp", 1);
    ASSERT_GE(jobs.size(), 1);
    EXPECT_EQ(field(jobs.last(), "version"), "1.0");

    // Without it the printer refuses the request: a failure with the tool's words.
    JobAction b = action("old", "pdf", spoolPdf(1));
    b.printer.m_ipp_version = "VERSION 1.1";
    EXPECT_FALSE(b.print());
    EXPECT_TRUE(b.lastError.startsWith(config::ippTool + " return: ")) << b.lastError.toStdString();
    EXPECT_EQ(leftovers(), QStringList());
    EXPECT_EQ(usage("Model old"), counted + 1) << "counted for the success only";
}

TEST_F(Dispatch, FailuresSendNothingAndLeaveNothing)
{
    ASSERT_TRUE(fleet.clear("hp"));
    const int counted = usage("Model hp");
    const struct {
        const char *what;
        const char *mode;
        const char *copy;
        bool silentAddress;
        QString error;
    } rows[] = {
        {"unknown mode", "Unknow", "1", false, QStringLiteral("printer not supported document format.")},
        {"mode in other case", "PDF", "1", false, QStringLiteral("printer not supported document format.")},
        {"empty mode", "", "1", false, QStringLiteral("printer not supported document format.")},
        {"no copies", "pdf", "0", false, QStringLiteral("invalid number of copies: 0")},
        {"copies not a number", "pwg", "two", false, QStringLiteral("invalid number of copies: two")},
        {"copies with script text", "pdf", "1 }", false, QStringLiteral("invalid number of copies: 1 }")},
        {"port 631 unreachable", "pdf", "1", true, QString()},
    };
    for (const auto &row : rows) {
        JobAction a = action("hp", QString::fromLatin1(row.mode), spoolPdf(1));
        if (row.silentAddress)
            a.printer.deviceIpAddress = fleet.silentIp();
        a.job.copy = QString::fromLatin1(row.copy);
        EXPECT_FALSE(a.print()) << row.what;
        const QString expected =
            row.silentAddress ? "Cannot connect printer, port=631: " + fleet.silentIp() : row.error;
        EXPECT_EQ(a.lastError, expected) << row.what;
        EXPECT_EQ(leftovers(), QStringList()) << row.what;
    }
    EXPECT_EQ(fleet.jobs("hp", "ipp").size(), 0);
    EXPECT_EQ(usage("Model hp"), counted);
}

// ipptool exits with 0 when it cannot read the file to send; that is no success.
TEST_F(Dispatch, MissingDocumentFailsWithTheToolsWords)
{
    const int counted = usage("Model hp");
    JobAction a = action("hp", "pdf", newDocPath());
    EXPECT_FALSE(a.print());
    EXPECT_TRUE(a.lastError.startsWith(config::ippTool + " return: ")) << a.lastError.toStdString();
    EXPECT_TRUE(a.lastError.contains("cannot be read")) << a.lastError.toStdString();
    EXPECT_EQ(leftovers(), QStringList());
    EXPECT_EQ(usage("Model hp"), counted);
}

TEST_F(Dispatch, ToolThatCannotStartIsAFailure)
{
    const int counted = usage("Model hp");
    ASSERT_TRUE(QFile::remove(config::ippTool));
    JobAction a = action("hp", "pdf", spoolPdf(1));
    EXPECT_FALSE(a.print());
    EXPECT_EQ(a.lastError, config::ippTool + " return: could not start");
    EXPECT_EQ(leftovers(), QStringList());
    EXPECT_EQ(usage("Model hp"), counted);
}

TEST_F(Dispatch, TelnetProbe)
{
    ASSERT_TRUE(fleet.clear("hp"));
    EXPECT_TRUE(util::telnet(fleet.ip("hp"), 631, 1000));
    EXPECT_TRUE(util::telnet(fleet.ip("hp"), 9100, 1000));
    EXPECT_FALSE(util::telnet(fleet.ip("noraw"), 9100, 1000)) << "refused";
    EXPECT_FALSE(util::telnet(fleet.silentIp(), 631, 300)) << "nobody there";
    EXPECT_FALSE(util::telnet(fleet.ip("hp"), 0, 1000));
    EXPECT_FALSE(util::telnet(fleet.ip("hp"), 70000, 1000));
    EXPECT_FALSE(util::telnet(QString(), 631, 300));
    EXPECT_EQ(fleet.jobs("hp", "raw").size(), 0) << "a probe sends nothing";
}

// Every page of the PDF at path is a picture and nothing else: no fonts.
void expectImageOnly(const QString &path, int pages)
{
    QPDF pdf;
    pdf.processFile(path.toStdString().c_str());
    const auto all = pdf.getAllPages();
    ASSERT_EQ(static_cast<int>(all.size()), pages);
    for (QPDFObjectHandle page : all) {
        QPDFPageObjectHelper helper(page);
        EXPECT_EQ(helper.getImages().size(), 1u);
        QPDFObjectHandle resources = page.getKey("/Resources");
        EXPECT_FALSE(resources.isDictionary() && resources.hasKey("/Font"));
    }
}

TEST_F(Dispatch, PrintAsImageSendsAPictureOfEachPage)
{
    for (const char *color : {"color", "monochrome"}) {
        ASSERT_TRUE(fleet.clear("hp"));
        const QString doc = spoolPdf(3);
        JobAction a = action("hp", "pdf", doc);
        a.job.printAsImage = true;
        a.job.color = QString::fromLatin1(color);
        ASSERT_TRUE(a.print()) << a.lastError.toStdString();
        const QJsonArray jobs = fleet.jobs("hp", "ipp", 1);
        ASSERT_EQ(jobs.size(), 1);
        EXPECT_EQ(field(jobs[0], "format"), "application/pdf");
        expectImageOnly(field(jobs[0], "document"), 3);
        EXPECT_EQ(attr(jobs[0], "print-color-mode"), color);
        EXPECT_EQ(leftovers(), QStringList());
    }
}

TEST_F(Dispatch, PrintAsImageOfABrokenDocumentFails)
{
    const QString doc = newDocPath();
    ASSERT_TRUE(writeBytes(doc, "%PDF-1.7\nnot really\n"));
    JobAction a = action("hp", "pdf", doc);
    a.job.printAsImage = true;
    EXPECT_FALSE(a.print());
    EXPECT_TRUE(a.lastError.startsWith("print as image failed: ")) << a.lastError.toStdString();
    EXPECT_EQ(leftovers(), QStringList());
}

} // namespace
