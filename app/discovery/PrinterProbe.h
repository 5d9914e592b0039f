#pragma once
// A whole probe of one address: IPP attributes, SNMP identity, and from both
// the delivery mode that every later job to this printer follows.

#include "storage/Printer.h"

#include <QString>

namespace util {

// Always returns a record: a printer that answers nothing gives empty IPP
// fields and, unless its brand decides otherwise, the mode "Unknow".
// Blocks for as long as dep1 and dep2 run; call it from a worker thread.
Printer getPrinterInfoByIP(QString ip);

// The delivery-mode key from document-format-supported and the brand code.
QString deliveryModeFor(const QString &documentFormats, const QString &brandCode);
// "Color" when print-color-mode-supported names colour, else "Mono".
QString colorModeFor(const QString &printColorModeSupported);

} // namespace util
