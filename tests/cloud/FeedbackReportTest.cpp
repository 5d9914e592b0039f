// The feedback report: the checks in their order, the archive name, the
// payload, and the log archive.

#include "cloud/FeedbackReport.h"

#include "platform/Command.h"
#include "storage/Config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using feedback::Fields;

const QString kTooLong = QStringLiteral("反馈描述超出范围，请简化您的描述");
const QString kRequired = QStringLiteral("请输入必填信息");
const QString kBadEmail = QCoreApplication::translate("QObject", "Email address format is wrong.");

Fields fields(QString description, int type, QString device, QString email)
{
    Fields f;
    f.description = std::move(description);
    f.type = type;
    f.deviceInfo = std::move(device);
    f.emailInfo = std::move(email);
    return f;
}

TEST(FeedbackChecks, FirstFailingCheckSpeaks)
{
    const QString d200(200, QChar(0x4e2d)); // 200 UTF-16 code units
    const QString d201(201, QLatin1Char('x'));
    const struct {
        const char *what;
        Fields f;
        QString message;
    } cases[] = {
        {"200 characters", fields(d200, feedback::Issue, "M", "a@b"), QString()},
        {"201 characters", fields(d201, feedback::Issue, "M", "a@b"), kTooLong},
        {"length before required fields", fields(d201, feedback::Issue, "", ""), kTooLong},
        {"problem without device", fields("jam", feedback::Issue, "", "a@b"), kRequired},
        {"problem without description", fields("", feedback::Issue, "M", "a@b"), kRequired},
        {"suggestion without device", fields("idea", feedback::Suggestion, "", "a@b"), QString()},
        {"suggestion without description", fields("", feedback::Suggestion, "M", "a@b"), kRequired},
        {"no e-mail", fields("jam", feedback::Issue, "M", ""), kRequired},
        {"required before e-mail form", fields("", feedback::Suggestion, "", "nobody"), kRequired},
        {"e-mail without @", fields("jam", feedback::Issue, "M", "user.example.com"), kBadEmail},
        {"e-mail ending in @", fields("jam", feedback::Issue, "M", "user@"), kBadEmail},
        {"e-mail only @", fields("jam", feedback::Issue, "M", "@"), kBadEmail},
        {"e-mail with text both sides", fields("jam", feedback::Issue, "M", "user@example.com"), QString()},
        {"e-mail starting with @", fields("jam", feedback::Issue, "M", "@example.com"), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(feedback::inputError(c.f), c.message) << c.what;
}

TEST(FeedbackReport, ArchiveNameAndPayload)
{
    const QDateTime when(QDate(2024, 1, 2), QTime(3, 4, 5));
    EXPECT_EQ(feedback::archiveName(QStringLiteral("c1"), when), "c1-20240102-03:04:05.tar.gz");
    EXPECT_EQ(feedback::archiveName(QStringLiteral("c1"), QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59))),
              "c1-20241231-23:59:59.tar.gz");

    Fields f = fields(QStringLiteral("卡纸"), feedback::Suggestion, QStringLiteral("C300i"), QStringLiteral("u@x.cn"));
    f.contactInfo = QStringLiteral("010-1234");
    // Styled JSON as the library writes it: members sorted, tab indentation,
    // characters beyond ASCII as \u escapes.
    EXPECT_EQ(feedback::payload(f, QStringLiteral("c1-20240102-03:04:05.tar.gz")).toStyledString(),
              "{\n"
              "\t\"contactInfo\" : \"010-1234\",\n"
              "\t\"description\" : \"\\u5361\\u7eb8\",\n"
              "\t\"deviceInfo\" : \"C300i\",\n"
              "\t\"emailInfo\" : \"u@x.cn\",\n"
              "\t\"feedbackType\" : \"SUGGESTION\",\n"
              "\t\"logFileName\" : \"c1-20240102-03:04:05.tar.gz\"\n"
              "}\n");
    f.type = feedback::Issue;
    EXPECT_EQ(feedback::payload(f, QString())["feedbackType"].asString(), "ISSUE");
}

QStringList archiveMembers(const QString &archive)
{
    const util::CommandResult r =
        util::runCommand(QStringLiteral("tar"), {QStringLiteral("--force-local"), QStringLiteral("-tzf"), archive});
    return r.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST(FeedbackArchive, PacksTheLogDirectoryPrivately)
{
    const QString logs = config::fileDir + QStringLiteral("/logs");
    ASSERT_TRUE(QDir().mkpath(logs));
    for (const char *name : {"app.log", "app.1.log"}) {
        QFile f(logs + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("2024-01-02 03:04:05.000 INFO  [1] [x@1] abc\n");
    }
    QTemporaryDir tmp;
    const QString archive = tmp.filePath(QStringLiteral("c1-20240102-03:04:05.tar.gz"));
    ASSERT_TRUE(feedback::packLogs(archive, logs));
    const QStringList members = archiveMembers(archive);
    const QString inside = logs.mid(1); // tar drops the leading "/"
    EXPECT_TRUE(members.contains(inside + QStringLiteral("/app.log"))) << members.join(' ').toStdString();
    EXPECT_TRUE(members.contains(inside + QStringLiteral("/app.1.log")));
    EXPECT_EQ(QFile::permissions(archive) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

    // An old archive of the same name is replaced, not appended to.
    ASSERT_TRUE(feedback::packLogs(archive, logs));
    EXPECT_EQ(archiveMembers(archive), members);
}

// Someone who placed a link at the predictable name gets nothing written through it.
TEST(FeedbackArchive, NeverWritesThroughALink)
{
    QTemporaryDir tmp;
    const QString victim = tmp.filePath(QStringLiteral("victim"));
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("precious");
    v.close();
    const QString archive = tmp.filePath(QStringLiteral("c1-x.tar.gz"));
    ASSERT_TRUE(QFile::link(victim, archive));
    ASSERT_TRUE(QDir().mkpath(config::fileDir + QStringLiteral("/logs")));
    EXPECT_TRUE(feedback::packLogs(archive, config::fileDir + QStringLiteral("/logs")));
    ASSERT_TRUE(v.open(QIODevice::ReadOnly));
    EXPECT_EQ(v.readAll(), "precious");
    EXPECT_FALSE(QFileInfo(archive).isSymLink());
}

} // namespace
