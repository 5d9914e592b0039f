#include "ui/PrinterList.h"

#include "platform/TextUtil.h"
#include "storage/PrinterStore.h"

#include <QDateTime>

#include <QIcon>
#include <QListWidget>

#include <algorithm>

namespace ui {

bool isFavourite(const Printer &printer)
{
    return util::iequals(printer.isFav, QStringLiteral("Y"));
}

void storeFavourite(Printer printer, bool favourite)
{
    if (printer.deviceName.isEmpty())
        return;
    printer.isFav = favourite ? QStringLiteral("Y") : QStringLiteral("N");
    if (favourite)
        printer.m_modified_time = QDateTime::currentMSecsSinceEpoch();
    util::changePrinter(printer);
}

QList<Printer> displayOrder(const QList<Printer> &stored)
{
    QList<Printer> favourites;
    QList<Printer> others;
    for (const Printer &p : stored)
        (isFavourite(p) ? favourites : others).append(p);
    std::stable_sort(favourites.begin(), favourites.end(),
                     [](const Printer &a, const Printer &b) { return a.m_modified_time > b.m_modified_time; });
    return favourites + others;
}

void fillPrinterList(QListWidget *list, const QList<Printer> &stored)
{
    list->clear();
    const QIcon favIcon(QStringLiteral(":/rc/fav_printer.png"));
    const QIcon plainIcon(QStringLiteral(":/rc/printer.png"));
    for (const Printer &p : displayOrder(stored)) {
        auto *item = new QListWidgetItem(isFavourite(p) ? favIcon : plainIcon, p.deviceName, list);
        // A size hint needs both values to count; the list mode gives items the view's width anyway.
        item->setSizeHint(QSize(0, 46));
    }
    if (list->count() > 0)
        list->setCurrentRow(0);
}

} // namespace ui
