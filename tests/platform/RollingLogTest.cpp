// Rolling names and contents of the log files, and the enciphered messages of the desktop program.

#include "platform/Crypto.h"
#include "platform/EncConst.h"
#include "platform/Log.h"
#include "platform/RLog.h"
#include "platform/RollingFileSink.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

QStringList lines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList out = QString::fromUtf8(f.readAll()).split('\n');
    out.removeLast(); // after the final line feed
    return out;
}

QString messageOf(const QString &line)
{
    return line.section("] ", 2);
}

class RollingLogTest : public ::testing::Test
{
protected:
    void TearDown() override { tavrin::log::shutdown(); }
    QTemporaryDir dir;
};

TEST(RollingNames, NumberGoesBeforeTheExtension)
{
    using tavrin::log::RollingFileSink;
    EXPECT_EQ(RollingFileSink::rolledName("/l/app.log", 0), "/l/app.log");
    EXPECT_EQ(RollingFileSink::rolledName("/l/app.log", 1), "/l/app.1.log");
    EXPECT_EQ(RollingFileSink::rolledName("/l/app.log", 9), "/l/app.9.log");
    EXPECT_EQ(RollingFileSink::rolledName("/var/log/tavrinback.log", 3), "/var/log/tavrinback.3.log");
    EXPECT_EQ(RollingFileSink::rolledName("/a.b/noext", 2), "/a.b/noext.2");
}

TEST_F(RollingLogTest, RollsPastTheLimitAndKeepsTenFiles)
{
    const QString path = dir.filePath("app.log");
    tavrin::log::init({path.toStdString(), spdlog::level::info, 300, 10});
    const int records = 200;
    for (int i = 0; i < records; ++i)
        LOG_PLAIN_INFO("record " + std::to_string(i));
    tavrin::log::shutdown();

    QStringList expectedFiles{"app.log"};
    for (int i = 1; i <= 9; ++i)
        expectedFiles << QString("app.%1.log").arg(i);
    QStringList found = QDir(dir.path()).entryList(QDir::Files);
    std::sort(found.begin(), found.end());
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(found, expectedFiles);

    // Oldest to newest: app.9.log ... app.1.log, app.log; records continue without gaps.
    QStringList all;
    for (int i = 9; i >= 0; --i) {
        const QString file = dir.filePath(i ? QString("app.%1.log").arg(i) : "app.log");
        const QStringList part = lines(file);
        if (i > 0) {
            const qint64 size = QFile(file).size();
            EXPECT_GT(size, 300) << "a file is rolled only once it has passed the limit";
            EXPECT_LE(size - part.last().size() - 1, 300) << "and then at the next record";
        }
        all << part;
    }
    ASSERT_FALSE(all.isEmpty());
    const int first = messageOf(all.first()).section(' ', 1).toInt();
    for (int i = 0; i < all.size(); ++i)
        EXPECT_EQ(messageOf(all[i]), QString("record %1").arg(first + i));
    EXPECT_EQ(messageOf(all.last()), QString("record %1").arg(records - 1));
}

TEST_F(RollingLogTest, ContinuesAnExistingFileAndRecordsTheKernelThreadId)
{
    const QString path = dir.filePath("tavrinback.log");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier line\n");
    }
    tavrin::log::init({path.toStdString(), spdlog::level::debug, 10000000, 10});
    LOG_PLAIN_DEBUG("debug text");
    LOG_PLAIN_ERROR("error text");
    tavrin::log::shutdown();

    const QStringList got = lines(path);
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[0], "earlier line");
    const QString tid = QString::number(::syscall(SYS_gettid));
    const QRegularExpression record(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (DEBUG|ERROR) \[)" + tid +
                                    R"(\] \[\S+@\d+\] (debug|error) text$)");
    EXPECT_TRUE(record.match(got[1]).hasMatch()) << got[1].toStdString();
    EXPECT_TRUE(record.match(got[2]).hasMatch()) << got[2].toStdString();
    EXPECT_TRUE(got[2].contains("RollingLogTest_ContinuesAnExistingFileAndRecordsTheKernelThreadId_Test::TestBody@"));
}

TEST_F(RollingLogTest, ThresholdDropsRecordsBeforeTheyAreFormed)
{
    const QString path = dir.filePath("app.log");
    tavrin::log::init({path.toStdString(), spdlog::level::info, 10000000, 10});
    int formed = 0;
    auto text = [&formed] {
        ++formed;
        return std::string("x");
    };
    LOG_PLAIN_DEBUG(text());
    EXPECT_EQ(formed, 0);
    LOG_PLAIN_INFO(text());
    EXPECT_EQ(formed, 1);

    tavrin::log::shutdown();
    TLOG(text());
    EXPECT_EQ(formed, 1) << "no log, no enciphering";
}

TEST_F(RollingLogTest, DesktopRecordsAreEncipheredOnOneLine)
{
    ASSERT_TRUE(util::initAppLog(dir.filePath("logs")));
    const std::string longText(100, 'z');
    TLOG(longText);
    TLOG(QString("clientId: %1").arg("abc"));
    TLOG("");
    tavrin::log::shutdown();

    const QStringList got = lines(dir.filePath("logs/app.log"));
    ASSERT_EQ(got.size(), 3);
    const auto plain = [](const QString &line) {
        const std::string cipher = messageOf(line).toStdString();
        const std::string text = des_decrypt_str(cipher, EncConst::LOCAL_KEY);
        return QString::fromStdString(std::string(text.c_str()));
    };
    EXPECT_EQ(plain(got[0]).toStdString(), longText);
    EXPECT_EQ(plain(got[1]), "clientId: abc");
    EXPECT_TRUE(got[2].endsWith("] ")) << "an empty message stays empty";
    EXPECT_TRUE(got[0].contains(" INFO  ["));
}

TEST(RLog, CipherLengths)
{
    const struct {
        std::size_t length;
        std::size_t base64;
        const char *ending;
    } cases[] = {{0, 0, ""}, {1, 12, "="}, {8, 12, "="}, {9, 24, "=="}, {16, 24, "=="}, {24, 32, "A"}};
    for (const auto &c : cases) {
        const std::string out = util::rlogRet(std::string(c.length, 'm'));
        EXPECT_EQ(out.size(), c.base64) << c.length;
        if (c.length == 24) {
            EXPECT_EQ(out.find('='), std::string::npos);
        } else if (c.length > 0) {
            EXPECT_EQ(out.substr(out.size() - std::strlen(c.ending)), c.ending) << c.length;
        }
    }
}

} // namespace
