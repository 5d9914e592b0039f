#include "discovery/NetworkText.h"

namespace util {

QString cleanNetworkText(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return out;
}

} // namespace util
