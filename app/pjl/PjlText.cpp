#include "pjl/PjlText.h"

#include <QTextCodec>
#include <QVector>

namespace pjl {
namespace {

QTextCodec *gb2312Codec()
{
    static QTextCodec *const codec = QTextCodec::codecForName("GB2312");
    return codec;
}

// One encoded piece per character, so that a cut can fall between characters.
// The codec is stateless, so encoding piece by piece gives the same bytes as
// encoding the whole text.
QVector<QByteArray> gb2312Characters(const QString &text)
{
    QVector<QByteArray> pieces;
    QTextCodec *codec = gb2312Codec();
    for (int i = 0; i < text.size();) {
        const int width =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        QByteArray piece;
        if (codec) {
            QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
            piece = codec->fromUnicode(text.constData() + i, width, &state);
            if (state.invalidChars > 0 || piece.isEmpty())
                piece = "?";
        } else {
            piece = text.mid(i, width).toLatin1();
        }
        pieces.append(piece);
        i += width;
    }
    return pieces;
}

} // namespace

QString quotableName(const QString &name)
{
    QString out = name;
    for (QChar &c : out) {
        const ushort u = c.unicode();
        if (u == '"' || u < 0x20 || u == 0x7f)
            c = QLatin1Char('_');
    }
    return out;
}

std::string copiesText(const QString &copy)
{
    bool digits = !copy.isEmpty();
    for (const QChar c : copy)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    return digits ? copy.toStdString() : std::string("1");
}

QByteArray toGb2312(const QString &text)
{
    QByteArray out;
    for (const QByteArray &piece : gb2312Characters(text))
        out += piece;
    return out;
}

QByteArray gb2312Prefix(const QString &text, int maxBytes)
{
    QByteArray out;
    for (const QByteArray &piece : gb2312Characters(text)) {
        if (out.size() + piece.size() > maxBytes)
            break;
        out += piece;
    }
    return out;
}

} // namespace pjl
