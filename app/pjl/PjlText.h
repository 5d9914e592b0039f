#pragma once
// Job values turned into the bytes that go into a PJL header.

#include <QByteArray>
#include <QString>

#include <string>

namespace pjl {

// The job name as it may stand inside a quoted PJL value: a double quote or a
// control character (ESC, CR, LF, ...) would end the value or the command, so
// each becomes "_".
QString quotableName(const QString &name);

// The copy count when it is a decimal number, else "1": the value goes into a
// PJL command and a job ticket unquoted.
std::string copiesText(const QString &copy);

// `text` in GB2312 (the GBK superset, as Chinese printers read it); a
// character the encoding lacks becomes "?".
QByteArray toGb2312(const QString &text);

// The longest start of toGb2312(text) that is at most maxBytes long and ends
// on a character boundary: a two-byte character is never cut in half.
QByteArray gb2312Prefix(const QString &text, int maxBytes);

} // namespace pjl
