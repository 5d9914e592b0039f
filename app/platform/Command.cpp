#include "platform/Command.h"

#include <QProcess>

#include <csignal>
#include <unistd.h>

namespace util {
namespace {

// Each child leads its own process group, so a time-out also ends whatever
// a shell line started (gs under "sh -c" and the like).
class GroupProcess : public QProcess
{
protected:
    void setupChildProcess() override { ::setpgid(0, 0); }
};

} // namespace

QString CommandResult::describe() const
{
    if (!started)
        return QStringLiteral("could not start");
    if (timedOut)
        return QStringLiteral("timed out after %1 ms").arg(timeoutMs);
    if (crashed)
        return QStringLiteral("crashed");
    if (exitCode != 0)
        return QStringLiteral("exit status %1").arg(exitCode);
    return QStringLiteral("ok");
}

QString decodeOutput(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
}

CommandResult runCommand(const QString &program, const QStringList &args, const CommandOptions &options)
{
    CommandResult result;
    result.timeoutMs = options.timeoutMs;
    GroupProcess process;
    process.setProcessChannelMode(options.mergeStderr ? QProcess::MergedChannels : QProcess::SeparateChannels);
    if (!options.workingDirectory.isEmpty())
        process.setWorkingDirectory(options.workingDirectory);
    process.start(program, args);
    if (!process.waitForStarted(-1))
        return result;
    result.started = true;
    if (!options.input.isEmpty())
        process.write(options.input);
    process.closeWriteChannel();

    if (!process.waitForFinished(options.timeoutMs < 0 ? -1 : options.timeoutMs)
        && process.state() != QProcess::NotRunning) {
        result.timedOut = true;
        ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
        process.kill();
        process.waitForFinished(5000);
    }
    result.crashed = !result.timedOut && process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.output = decodeOutput(process.readAllStandardOutput());
    if (!options.mergeStderr)
        result.errorOutput = decodeOutput(process.readAllStandardError());
    return result;
}

CommandResult runShell(const QString &commandLine, const CommandOptions &options)
{
    return runCommand(QStringLiteral("sh"), {QStringLiteral("-c"), commandLine}, options);
}

} // namespace util
