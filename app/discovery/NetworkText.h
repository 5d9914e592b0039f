#pragma once
// Text that printers report (names, models, serials) passes through lists,
// JSON files, settings keys and logs; none of them should meet a control
// character from the network.

#include <QString>

namespace util {

// Control characters become spaces; everything else stays as it is.
QString cleanNetworkText(const QString &text);

} // namespace util
