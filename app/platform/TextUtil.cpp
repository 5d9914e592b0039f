#include "platform/TextUtil.h"

namespace util {

bool iequals(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString shellQuote(const QString &word)
{
    QString quoted = word;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace util
