#pragma once
// The printer list as the main window and the choose dialog show it:
// favourites first, the most recently made favourite on top, then the others
// in stored order.

#include "storage/Printer.h"

#include <QList>

class QListWidget;

namespace ui {

// True when `printer` is a favourite ("Y", letter case ignored).
bool isFavourite(const Printer &printer);

// Stores `printer` as a favourite ("Y", made now, so it goes on top) or not
// ("N"). Nothing happens for a printer without a name.
void storeFavourite(Printer printer, bool favourite);

// The display order of `stored`. Favourites with the same time keep their
// stored order.
QList<Printer> displayOrder(const QList<Printer> &stored);

// Replaces the items of `list` with one per printer of `stored` in display
// order: text deviceName, the favourite or plain printer icon, height 46.
// Makes row 0 current when there is one.
void fillPrinterList(QListWidget *list, const QList<Printer> &stored);

} // namespace ui
