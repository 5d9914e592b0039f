// The external-command helper against real child processes.

#include "platform/Command.h"
#include "platform/TextUtil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(Command, StreamsMergedOrApart)
{
    const auto merged = util::runShell("echo out; echo err >&2; exit 3");
    EXPECT_TRUE(merged.started);
    EXPECT_FALSE(merged.ok());
    EXPECT_EQ(merged.exitCode, 3);
    EXPECT_EQ(merged.output, "out\nerr\n");
    EXPECT_EQ(merged.describe(), "exit status 3");

    util::CommandOptions apart;
    apart.mergeStderr = false;
    const auto separate = util::runShell("echo out; echo err >&2", apart);
    EXPECT_TRUE(separate.ok());
    EXPECT_EQ(separate.output, "out\n");
    EXPECT_EQ(separate.errorOutput, "err\n");
}

TEST(Command, ArgumentListReachesTheProgramUnchanged)
{
    const QStringList args{"a b", "$(touch /tmp/never)", "\"q\"", "back\\slash", "塔文"};
    const auto r = util::runCommand("printf", QStringList{"%s|"} + args);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.output, args.join('|') + "|");
}

TEST(Command, ShellQuotedWordsSurviveTheShell)
{
    for (const QString word : {"plain", "two words", "it's", "$(id)", "`id`", "a\"b\\c", "*", "-n", ""}) {
        const auto r = util::runShell("printf %s " + util::shellQuote(word));
        EXPECT_EQ(r.output, word) << word.toStdString();
    }
}

TEST(Command, OutputStopsAtTheFirstNul)
{
    EXPECT_EQ(util::runShell("printf 'abc\\000def'").output, "abc");
    EXPECT_EQ(util::decodeOutput(QByteArray("\xe5\xa1\x94\xe6\x96\x87")), "塔文");
}

TEST(Command, ProgramThatCannotStart)
{
    const auto r = util::runCommand("/nonexistent/tool", {"x"});
    EXPECT_FALSE(r.started);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(r.describe(), "could not start");
}

TEST(Command, TimeOutKillsTheWholeProcessGroup)
{
    QTemporaryDir dir;
    const QString pidFile = dir.filePath("pid");
    util::CommandOptions options;
    options.timeoutMs = 300;
    const auto r = util::runShell("echo partial; sleep 30 & echo $! > " + util::shellQuote(pidFile) + "; wait", options);
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.output, "partial\n") << "output read so far is kept";
    EXPECT_EQ(r.describe(), "timed out after 300 ms");

    QFile f(pidFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const pid_t grandchild = f.readAll().trimmed().toInt();
    ASSERT_GT(grandchild, 0);
    bool gone = false;
    for (int i = 0; i < 50 && !gone; ++i) {
        gone = ::kill(grandchild, 0) != 0 || QFile::exists(QString("/proc/%1/status").arg(grandchild)) == false;
        if (!gone) {
            QFile status(QString("/proc/%1/status").arg(grandchild));
            gone = status.open(QIODevice::ReadOnly) && status.readAll().contains("State:\tZ");
        }
        if (!gone)
            QThread::msleep(20);
    }
    EXPECT_TRUE(gone) << "the shell's child must not outlive the time-out";
}

TEST(Command, WaitWithoutLimitAndStandardInput)
{
    util::CommandOptions options;
    options.timeoutMs = -1;
    options.input = "fed through stdin";
    const auto r = util::runCommand("cat", {}, options);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.output, "fed through stdin");
}

} // namespace
