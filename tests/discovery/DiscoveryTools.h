#pragma once
// Puts the program's tools (dep1 = ipptool, dep2 = snmpget) into the test's
// own tool directory, optionally behind a recorder that notes each run's
// arguments and script before handing over to the real tool.

#include "storage/Config.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace tavrin::test {

inline bool writeExecutable(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        return false;
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                               QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

// The wrappers as installed; config::ippTool points at dep1.
inline bool installTools()
{
    if (!QDir().mkpath(config::binDir))
        return false;
    for (const char *tool : {"dep1", "dep2"}) {
        const QString target = config::binDir + QString::fromLatin1(tool);
        QFile::remove(target);
        if (!QFile::copy(QStringLiteral(TAVRIN_SOURCE_DIR "/tools/wrappers/") + QString::fromLatin1(tool), target))
            return false;
    }
    config::ippTool = config::binDir + QStringLiteral("dep1");
    return true;
}

// Wraps the installed `tool` so that run N leaves N.args (one argument a
// line) and, for dep1, N.script (a copy of its last argument) in `recordDir`.
inline bool recordTool(const char *tool, const QString &recordDir)
{
    const QString real = config::binDir + QString::fromLatin1(tool) + QStringLiteral(".real");
    const QString path = config::binDir + QString::fromLatin1(tool);
    QFile::remove(real);
    if (!QFile::rename(path, real))
        return false;
    const QByteArray script = "#!/bin/sh\n"
                              "dir='" +
                              recordDir.toUtf8() +
                              "'\n"
                              "n=$(ls \"$dir\" | grep -c '\\.args$')\n"
                              "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$dir/$n.args\"\n"
                              "for a in \"$@\"; do last=$a; done\n"
                              "[ -f \"$last\" ] && cp \"$last\" \"$dir/$n.script\"\n"
                              "exec '" +
                              real.toUtf8() + "' \"$@\"\n";
    return writeExecutable(path, script);
}

inline QStringList recordedArgs(const QString &recordDir, int run)
{
    QFile file(recordDir + QStringLiteral("/%1.args").arg(run));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

inline int recordedRuns(const QString &recordDir)
{
    return QDir(recordDir).entryList({QStringLiteral("*.args")}, QDir::Files).size();
}

} // namespace tavrin::test
