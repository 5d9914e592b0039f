// The wrapped file for raw delivery: header + the document unchanged + footer,
// and failures that leave nothing behind and say so.

#include "PjlSupport.h"

#include "intake/IntakeSupport.h"
#include "pjl/PJLHeader.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pjltest;

namespace {

// Bytes that a text-mode copy or a string routine would damage: NUL, ESC, CR LF, high bytes.
std::string documentOf(std::size_t size)
{
    std::string doc(size, '\0');
    std::uint32_t x = 2463534242u;
    for (std::size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        doc[i] = static_cast<char>(x);
    }
    const std::string head = "%PDF-1.7\r\n\x1b%-12345X";
    std::copy_n(head.begin(), std::min(head.size(), size), doc.begin());
    return doc;
}

void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

struct SizeRow {
    std::size_t size;
    const char *brand;
};

class WrapSizes : public ::testing::TestWithParam<SizeRow>
{
};

// Empty, one byte, block multiples and one past the copy chunk: no byte lost or added.
TEST_P(WrapSizes, HeaderDocumentFooter)
{
    const SizeRow row = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string doc = dir.filePath(QStringLiteral("job.pdf")).toStdString();
    const std::string content = documentOf(row.size);
    writeFile(doc, content);

    PJLHeader pjl(J().color("color").duplex("two-sided-long-edge").copy("2").name("Report.pdf"), row.brand);
    const std::string wrapped = pjl.generateNewPdf(doc);

    ASSERT_EQ(wrapped, doc + ".withheader") << pjl.lastError();
    EXPECT_TRUE(pjl.lastError().empty());
    EXPECT_TRUE(sameBytes(pjl.header() + content + pjl.footer(), readFile(wrapped)));
    EXPECT_TRUE(sameBytes(content, readFile(doc))) << "the document itself is unchanged";
    EXPECT_EQ(entries(dir.path()), QStringList({QStringLiteral("job.pdf"), QStringLiteral("job.pdf.withheader")}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, WrapSizes,
                         ::testing::Values(SizeRow{0, "05"}, SizeRow{1, "03"}, SizeRow{512, "08"}, SizeRow{1024, "03"},
                                           SizeRow{65536, "01"}, SizeRow{65537, "09"}, SizeRow{300000, "03"}),
                         [](const ::testing::TestParamInfo<SizeRow> &info) {
                             return "brand" + std::string(info.param.brand) + "_" + std::to_string(info.param.size);
                         });

TEST(WrapDocument, PdfFixtureAndLog)
{
    intaketest::AppLog log;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string doc = dir.filePath(QStringLiteral("job.pdf")).toStdString();
    const QByteArray pdf = intaketest::fixturePdf();
    writeFile(doc, pdf.toStdString());

    PJLHeader pjl(J().booklet("1").name("Report.pdf"), "03");
    const std::string wrapped = pjl.generateNewPdf(doc);
    ASSERT_EQ(wrapped, doc + ".withheader") << pjl.lastError();
    const std::string bytes = readFile(wrapped);
    EXPECT_TRUE(sameBytes(fixture("xerox-booklet-fold.hdr").substr(0, 20), bytes.substr(0, 20)));
    EXPECT_TRUE(sameBytes(pjl.header() + pdf.toStdString() + pjl.footer(), bytes));

    const auto messages = log.messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "brand: 03"), messages.end());
    EXPECT_NE(std::find(messages.begin(), messages.end(), "pdf header(pjl): " + pjl.header()), messages.end());
}

// An unreadable document is a failure: a header and footer alone would print an empty job.
TEST(WrapDocument, MissingDocumentFailsAndRemovesStaleFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string doc = dir.filePath(QStringLiteral("gone.pdf")).toStdString();
    writeFile(doc + ".withheader", "left by an earlier attempt");

    PJLHeader pjl(J(), "05");
    EXPECT_EQ(pjl.generateNewPdf(doc), "");
    EXPECT_NE(pjl.lastError().find(doc), std::string::npos) << pjl.lastError();
    EXPECT_NE(pjl.lastError().find("No such file"), std::string::npos) << pjl.lastError();
    EXPECT_TRUE(entries(dir.path()).isEmpty()) << entries(dir.path()).join(' ').toStdString();
}

// The file size limit turns a write into a short one and then EFBIG, part way
// through the document.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

TEST(WrapDocument, ShortWriteFailsAndLeavesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string doc = dir.filePath(QStringLiteral("job.pdf")).toStdString();
    writeFile(doc, documentOf(200000));

    PJLHeader pjl(J(), "05");
    std::string wrapped;
    {
        FileSizeLimit limit(150000);
        ASSERT_TRUE(limit.ok());
        wrapped = pjl.generateNewPdf(doc);
    }
    EXPECT_EQ(wrapped, "");
    EXPECT_NE(pjl.lastError().find("File too large"), std::string::npos) << pjl.lastError();
    EXPECT_EQ(entries(dir.path()), QStringList({QStringLiteral("job.pdf")}));
}

// A full file system, in a mount namespace of a child process so that the
// mount disappears with it whatever happens. The child reports by exit code.
enum ChildResult { kPassed = 0, kNoMount = 77, kNotFailed = 10, kWrongError = 11, kLeftBehind = 12, kSetup = 13 };

int wrapOnFullTmpfs(const std::string &mountPoint)
{
    if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=256k") != 0)
        return kNoMount;
    const std::string doc = mountPoint + "/job.pdf";
    {
        const std::string content = documentOf(160 * 1024);
        std::ofstream out(doc, std::ios::binary);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out.good())
            return kSetup;
    }
    PJLHeader pjl(J(), "03");
    if (!pjl.generateNewPdf(doc).empty())
        return kNotFailed;
    if (pjl.lastError().find("No space left") == std::string::npos) {
        std::fprintf(stderr, "lastError: %s\n", pjl.lastError().c_str());
        return kWrongError;
    }
    if (entries(QString::fromStdString(mountPoint)) != QStringList({QStringLiteral("job.pdf")}))
        return kLeftBehind;
    return kPassed;
}

TEST(WrapDocument, FullFileSystemFailsAndLeavesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0)
        ::_exit(wrapOnFullTmpfs(dir.path().toStdString()));
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == kNoMount)
        GTEST_SKIP() << "cannot mount a tmpfs in a private mount namespace here";
    EXPECT_EQ(WEXITSTATUS(status), kPassed)
        << "10: reported success, 11: wrong error text, 12: files left behind, 13: setup failed";
}

} // namespace
