#pragma once
// Probes each chosen printer and stores it in the printer list (which first
// reports it to the service), stopping at the first failure.

#include "discovery/PrinterItem.h"
#include "storage/Printer.h"

#include <QList>
#include <QString>
#include <QThread>

class AddPrinterWorker : public QThread
{
    Q_OBJECT
public:
    explicit AddPrinterWorker(const QList<PrinterItem> &items, QObject *parent = nullptr);

    // The most recently probed printer; read it once resultReady has arrived
    // (the add dialog offers to overwrite when the result is "exist").
    Printer printer() const { return m_printer; }

signals:
    // Empty when every item was stored; "exist" when one is already in the
    // list; otherwise the translated reason of the first failure.
    void resultReady(QString err);

protected:
    void run() override;

private:
    const QList<PrinterItem> m_items;
    Printer m_printer;
};
