#pragma once
// IPv4 address texts as the search and add paths meet them.

#include <QString>
#include <QStringList>

namespace util {

// The address dialogs' check: four pieces at ".", none above 255. Lenient on
// purpose (a piece that is not a number reads as 0), so it is not enough
// before a tool or a socket sees the text; use isIPv4Address there.
bool isValidIP(const QString &ip);

// Strict dotted-quad: four decimal octets 0..255 without signs, blanks or
// leading zeros. The only form handed to dep1, dep2 and the connect tests.
bool isIPv4Address(const QString &ip);

// The addresses of a range search in order: the first three pieces of `start`
// with each last octet from start's fourth piece up to `endOctet`. Empty when
// `start` is not an IPv4 address; octets beyond 255 are not produced.
QStringList rangeAddresses(const QString &start, const QString &endOctet);

} // namespace util
