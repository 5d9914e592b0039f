#pragma once
// Reading the CUPS SNMP backend's device listing: one line per device,
//   network socket://198.18.1.10 "make and model" "info" "device id" "location"

#include "discovery/PrinterItem.h"

#include <QList>
#include <QString>

namespace util {

// Splits a line into words as a shell would: blanks separate, double quotes
// group, a backslash takes the next character as it is.
QList<QString> sepSnmpWord(QString line);

// The host of a device URI: "socket://h" and "lpd://h/queue" give h; a URI of
// another shape is returned unchanged.
QString hostOfDeviceUri(const QString &uri);

// The candidates of a listing in order: info text (word 4) and host of the
// URI (word 2), for every line of more than three words.
QList<PrinterItem> devicesFromSnmpListing(const QString &listing);

} // namespace util
