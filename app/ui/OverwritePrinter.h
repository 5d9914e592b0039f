#pragma once
// Asked when a printer about to be stored has the address of a stored one:
// ignore the new printer, or let it replace every printer at that address
// (and, coming from the properties dialog, the edited printer's old entry).

#include "storage/Printer.h"

#include <QDialog>
#include <QString>

namespace Ui {
class OverwritePrinter;
}

class OverwritePrinter : public QDialog
{
    Q_OBJECT
public:
    explicit OverwritePrinter(Printer printer, QWidget *parent = nullptr);
    ~OverwritePrinter() override;

    void setMsgText(const QString &text);
    void setDeletePrinter(const Printer &printer);
    void setChangePrinter(bool change);
    Printer getPrinter() const { return printer; }
    void setPrinter(Printer p) { printer = std::move(p); }
    // Why the overwrite failed; empty when it succeeded or was not asked for.
    QString getErrMsg() const { return m_errMsg; }

public slots:
    void savePrinter();
    void cancelFunc();

private:
    Ui::OverwritePrinter *ui;
    Printer printer;       // the new printer
    Printer deletePrinter; // the printer being edited, from the properties dialog
    bool changeFlag = false;
    QString m_errMsg;
};
