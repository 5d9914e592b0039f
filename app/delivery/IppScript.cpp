#include "delivery/IppScript.h"

#include "platform/TextUtil.h"

namespace delivery {

namespace {

// The lines keep the script's fixed-width layout; the tool ignores the
// trailing blanks.
constexpr int kLineWidth = 58;

QString padded(const QString &line)
{
    return line.size() < kLineWidth ? line.leftJustified(kLineWidth, QLatin1Char(' ')) : line;
}

bool isSyntax(QChar c)
{
    static const QString kSpecial = QStringLiteral("\"'\\{},#$");
    return c.isSpace() || kSpecial.contains(c);
}

} // namespace

MediaSize mediaSizeFor(const QString &size)
{
    if (util::iequals(size, QStringLiteral("a4")))
        return {21000, 29700, QStringLiteral("print A4 via ipp.")};
    if (util::iequals(size, QStringLiteral("a3")))
        return {29700, 42000, QStringLiteral("print A3 via ipp.")};
    if (util::iequals(size, QStringLiteral("a5")))
        return {14800, 21000, QStringLiteral("print A5 via ipp.")};
    return {21000, 29700, QStringLiteral("x_demension: 21000, y_demension: 29700")};
}

QString keepTailWithinBytes(const QString &name, int maxBytes)
{
    int bytes = name.toUtf8().size();
    int start = 0;
    while (bytes > maxBytes && start < name.size()) {
        const bool pair = name.at(start).isHighSurrogate() && start + 1 < name.size();
        const int width = pair ? 2 : 1;
        bytes -= name.mid(start, width).toUtf8().size();
        start += width;
    }
    return name.mid(start);
}

bool parseCopies(const QString &text, int &copies)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const int n = text.toInt();
    if (n < 1)
        return false;
    copies = n;
    return true;
}

QString jobNameToken(const QString &name)
{
    QString value = QStringLiteral("TavRin:");
    bool quote = false;
    for (const QChar c : name) {
        // Control characters would end the line or the token in the middle.
        const QChar shown = (c.unicode() < 0x20 || c.unicode() == 0x7f) ? QLatin1Char('_') : c;
        quote = quote || isSyntax(shown);
        value += shown;
    }
    if (!quote)
        return value;
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        else if (c == QLatin1Char('$')) // "$$" is the tool's literal dollar; "$x" would expand a variable
            escaped += QLatin1Char('$');
        escaped += c;
    }
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QByteArray ippScript(const IppScriptValues &v)
{
    const QString tab = QStringLiteral("\t");
    const QString in3 = QStringLiteral("   ");
    const QStringList lines = {
        QStringLiteral("{"),
        tab + QStringLiteral("NAME \"SYSPRINT\""),
        tab + QStringLiteral("OPERATION Print-Job"),
        tab + QStringLiteral("GROUP operation-attributes-tag"),
        tab + QStringLiteral("ATTR charset attributes-charset utf-8"),
        tab + QStringLiteral("ATTR language attributes-natural-language en-us"),
        tab + QStringLiteral("ATTR uri printer-uri $uri"),
        tab + QStringLiteral("ATTR name requesting-user-name $user"),
        tab + QStringLiteral("ATTR name job-name ") + jobNameToken(v.name),
        tab + QStringLiteral("ATTR mimeMediaType document-format ") + v.format,
        in3 + QStringLiteral("GROUP job-attributes-tag"),
        QStringLiteral("ATTR collection media-col {"),
        in3 + QStringLiteral("MEMBER collection media-size {"),
        in3 + QStringLiteral("MEMBER integer x-dimension ") + QString::number(v.media.x),
        in3 + QStringLiteral("MEMBER integer y-dimension ") + QString::number(v.media.y),
        QStringLiteral("}"),
        in3 + QStringLiteral("MEMBER integer media-left-margin 400"),
        in3 + QStringLiteral("MEMBER integer media-right-margin 400"),
        in3 + QStringLiteral("MEMBER integer media-top-margin 400"),
        in3 + QStringLiteral("MEMBER integer media-bottom-margin 400"),
        QStringLiteral("}"),
        tab + QStringLiteral("ATTR integer copies ") + QString::number(v.copies),
        in3 + QStringLiteral("ATTR keyword print-color-mode ") + v.color,
        in3 + QStringLiteral("ATTR keyword sides ") + v.sides,
        in3 + QStringLiteral("ATTR keyword multiple-document-handling ") + v.handling,
        tab + QStringLiteral("FILE $filename"),
        tab + QStringLiteral("STATUS successful-ok"),
        tab + QStringLiteral("STATUS successful-ok-ignored-or-substituted-attributes"),
        tab + QStringLiteral("EXPECT job-id"),
        tab + QStringLiteral("EXPECT job-uri"),
        QStringLiteral("}"),
    };
    QByteArray script;
    for (const QString &line : lines)
        script += padded(line).toUtf8() + '\n';
    return script;
}

QStringList ippToolArgs(bool ipp10, const QString &file, const QString &uri, const QString &scriptPath)
{
    QStringList args;
    if (ipp10)
        args << QStringLiteral("-V") << QStringLiteral("1.0");
    args << QStringLiteral("-t") << QStringLiteral("-v") << QStringLiteral("-f") << file << uri << scriptPath;
    return args;
}

} // namespace delivery
