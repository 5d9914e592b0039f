#pragma once

#include <QString>

namespace util {

// Equality ignoring letter case; every case-insensitive comparison goes through it.
bool iequals(const QString &a, const QString &b);

// Quotes one word for "sh -c" so that the shell passes it through unchanged.
QString shellQuote(const QString &word);

} // namespace util
