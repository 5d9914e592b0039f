#pragma once
// The Print-Job script that the scripted IPP tool (dep1, ipptool's test-file
// format) runs, and the tool's argument list. Pure functions.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace delivery {

// Media size in hundredths of a millimetre from the job's page size name.
struct MediaSize {
    int x = 21000;
    int y = 29700;
    QString logText; // "print A4 via ipp." or "x_demension: ..., y_demension: ..."
};
MediaSize mediaSizeFor(const QString &size);

// A copy count is a decimal number from 1 up; anything else is refused
// before it can reach a printer.
bool parseCopies(const QString &text, int &copies);

// The job-name value: "TavRin:" + name, written as a quoted token with the
// format's escapes when the name holds a character that the tool would read
// as syntax (blanks, quotes, backslash, braces, comma, "#", "$").
QString jobNameToken(const QString &name);

// The end of `name` that fits in maxBytes of UTF-8, cut between characters.
// IPP names hold at most 255 octets, and a Chinese title cut to 248
// characters is three times that.
QString keepTailWithinBytes(const QString &name, int maxBytes);

struct IppScriptValues {
    QString name;   // already cut to its last 248 characters and 248 bytes
    QString format; // document-format
    MediaSize media;
    int copies = 1;
    QString color; // print-color-mode
    QString sides;
    QString handling; // multiple-document-handling
};

// The script, UTF-8, one Print-Job test that passes only on successful-ok
// (or ignored-or-substituted) with a job-id and a job-uri.
QByteArray ippScript(const IppScriptValues &values);

// dep1's arguments: [-V 1.0] -t -v -f FILE URI SCRIPT.
QStringList ippToolArgs(bool ipp10, const QString &file, const QString &uri, const QString &scriptPath);

} // namespace delivery
