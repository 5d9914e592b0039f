#include "platform/OsInfo.h"

#include "platform/TextUtil.h"

#include <QFile>
#include <QHash>
#include <QTextStream>

namespace util {

OSReleaseInfo osInfo(const QString &path)
{
    // One KEY=value per line; a value may be wrapped in double or single quotes.
    QHash<QString, QString> values;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&file);
        in.setCodec("UTF-8");
        while (!in.atEnd()) {
            const QString line = in.readLine().trimmed();
            const int eq = line.indexOf(QLatin1Char('='));
            if (line.startsWith(QLatin1Char('#')) || eq <= 0)
                continue;
            QString value = line.mid(eq + 1).trimmed();
            if (value.size() >= 2 && (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\'')))
                && value.endsWith(value.at(0)))
                value = value.mid(1, value.size() - 2);
            values.insert(line.left(eq).trimmed(), value);
        }
    }
    return OSReleaseInfo{values.value(QStringLiteral("NAME")), values.value(QStringLiteral("PRETTY_NAME")),
                         values.value(QStringLiteral("VERSION"))};
}

bool osCurrentSystem(const QString &path)
{
    return iequals(QStringLiteral("uos"), osInfo(path).name);
}

} // namespace util
