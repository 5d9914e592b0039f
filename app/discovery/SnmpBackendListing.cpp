#include "discovery/SnmpBackendListing.h"

#include <QStringList>

namespace util {
namespace {

bool isBlank(QChar c)
{
    const ushort u = c.unicode();
    if (u == '\t' || u == '\n' || u == '\v' || u == '\f' || u == '\r' || u == ' ')
        return true;
    return u >= 128 && c.isSpace();
}

} // namespace

QList<QString> sepSnmpWord(QString line)
{
    QList<QString> words;
    QString word;
    bool escape = false;
    bool inWord = false;
    bool inQuote = false;
    for (const QChar c : line) {
        if (escape) {
            word += c;
            escape = false;
        } else if (c == QLatin1Char('\\')) {
            escape = true;
            inWord = true;
        } else if (inWord && inQuote) {
            if (c == QLatin1Char('"'))
                inQuote = false;
            else
                word += c;
        } else if (inWord) {
            if (isBlank(c)) {
                words << word;
                word.clear();
                inWord = false;
                escape = false;
            } else if (c == QLatin1Char('"')) {
                inQuote = true;
            } else {
                word += c;
            }
        } else if (c == QLatin1Char('"')) {
            inWord = true;
            inQuote = true;
        } else if (!isBlank(c)) {
            word += c;
            inWord = true;
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

QString hostOfDeviceUri(const QString &uri)
{
    QString address = uri;
    const QStringList halves = address.split(QStringLiteral("//"));
    if (halves.size() == 2) {
        address = halves.at(1);
        const QStringList parts = address.split(QLatin1Char('/'));
        if (parts.size() == 2)
            address = parts.at(0);
    }
    return address;
}

QList<PrinterItem> devicesFromSnmpListing(const QString &listing)
{
    QList<PrinterItem> devices;
    for (const QString &line : listing.split(QLatin1Char('\n'))) {
        const QList<QString> words = sepSnmpWord(line);
        if (words.size() <= 3)
            continue;
        devices << PrinterItem{words.at(3), hostOfDeviceUri(words.at(1))};
    }
    return devices;
}

} // namespace util
