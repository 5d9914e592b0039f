#pragma once
// The user's printer list, kept in the protected file config::_depP as a JSON
// array of Printer::toJson objects (null when empty). Nothing is cached: each
// call reads the file, and each change rewrites it whole and atomically.
// Adding and removing are coupled to the service: a printer is stored only
// once the service has accepted it and removed only once it has let it go.
// Names, identifiers and addresses are compared exactly.

#include "storage/Printer.h"

#include <QList>
#include <QString>

namespace util {

QList<Printer> getPrinters();
// The first printer named `name`; a default Printer (empty deviceName) when none is.
Printer getPrinter(const QString &name);
// True when another printer (a different deviceId) already uses `name`.
bool isPrinterExist(const QString &name, const QString &deviceId);
bool isPrinterExistByIP(const QString &ip);
int printerCount(const QString &ip);

// Stores `printer` after the service accepted it. On failure `errorText` is
// "printer already exist" or the service's reply (a "cerr:..." text when the
// service could not be reached) and nothing is stored.
bool addPrinter(const Printer &printer, QString &errorText);

// Replaces the entries with printer.deviceId by `printer`.
void changePrinter(const Printer &printer);
// Replaces the entries with oldPrinter.deviceId by `newPrinter`.
void changePrinter(const Printer &oldPrinter, const Printer &newPrinter);

// Remove the printers of that name or address, each after the service let it
// go ("OK:..." or "FAIL:DeviceNotExist"); on any other reply it stays.
void removePrinter(const QString &name);
void removePrinterByIP(const QString &ip);

} // namespace util
