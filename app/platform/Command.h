#pragma once
// The one place that starts external programs. Callers build the argument list
// (or, where a fixed command line is the interface, the quoted line for "sh -c")
// and read back the result.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace util {

struct CommandOptions {
    int timeoutMs = 30000; // below 0: wait without limit
    bool mergeStderr = true;
    QByteArray input;      // written to standard input, which is then closed
    QString workingDirectory;
};

struct CommandResult {
    bool started = false;
    bool timedOut = false; // the child was killed when the wait ran out
    bool crashed = false;  // ended by a signal
    int exitCode = -1;
    QString output;        // standard output (with standard error when merged)
    QString errorOutput;   // standard error when kept apart

    bool ok() const { return started && !timedOut && !crashed && exitCode == 0; }
    // "could not start", "timed out after N ms", "crashed", "exit status N" or "ok".
    QString describe() const;
    int timeoutMs = 0;
};

CommandResult runCommand(const QString &program, const QStringList &args, const CommandOptions &options = {});
CommandResult runShell(const QString &commandLine, const CommandOptions &options = {});

// UTF-8 text up to the first NUL byte.
QString decodeOutput(const QByteArray &bytes);

} // namespace util
