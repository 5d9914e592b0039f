#include "discovery/Address.h"

#include <QVector>

namespace util {

bool isValidIP(const QString &ip)
{
    const QStringList pieces = ip.split(QLatin1Char('.'));
    if (pieces.size() != 4)
        return false;
    for (const QString &piece : pieces) {
        if (piece.toInt() > 255)
            return false;
    }
    return true;
}

bool isIPv4Address(const QString &ip)
{
    const QStringList pieces = ip.split(QLatin1Char('.'));
    if (pieces.size() != 4)
        return false;
    for (const QString &piece : pieces) {
        if (piece.isEmpty() || piece.size() > 3 || (piece.size() > 1 && piece.at(0) == QLatin1Char('0')))
            return false;
        for (const QChar c : piece) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        if (piece.toInt() > 255)
            return false;
    }
    return true;
}

QStringList rangeAddresses(const QString &start, const QString &endOctet)
{
    QStringList out;
    if (!isIPv4Address(start))
        return out;
    const QStringList pieces = start.split(QLatin1Char('.'));
    const QString prefix = pieces.mid(0, 3).join(QLatin1Char('.')) + QLatin1Char('.');
    const int first = pieces.at(3).toInt();
    const int last = qMin(endOctet.trimmed().toInt(), 255);
    for (int n = first; n <= last; ++n)
        out << prefix + QString::number(n);
    return out;
}

} // namespace util
