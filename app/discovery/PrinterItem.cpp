#include "discovery/PrinterItem.h"

#include "storage/Printer.h"

void PrinterItem::registerMetaTypes()
{
    qRegisterMetaType<PrinterItem>("PrinterItem");
    qRegisterMetaType<QList<PrinterItem>>("QList<PrinterItem>");
    Printer::registerMetaType();
}
