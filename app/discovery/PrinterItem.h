#pragma once
// One printer offered by a search or chosen by the user.

#include <QList>
#include <QMetaType>
#include <QString>

struct PrinterItem {
    QString name; // what the user sees: the backend's info text, the probed model, or a typed name
    QString ip;   // dotted IPv4, no port

    bool operator==(const PrinterItem &other) const { return name == other.name && ip == other.ip; }

    // Registers "PrinterItem", "QList<PrinterItem>" and "Printer" for queued
    // signals. Safe to call again; every worker calls it when created.
    static void registerMetaTypes();
};

Q_DECLARE_METATYPE(PrinterItem)
Q_DECLARE_METATYPE(QList<PrinterItem>)
