#pragma once
// One stored printer's name, address and delivery mode. A new address is
// probed before it is accepted and replaces the record with the probe's.

#include "storage/Printer.h"

#include <QDialog>
#include <QString>

class QIntValidator;

namespace Ui {
class properties;
}

class properties : public QDialog
{
    Q_OBJECT
public:
    properties(QWidget *parent, QString name);
    ~properties() override;

public slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void checkPrinterResult(Printer p, QString err);

private:
    Ui::properties *ui;
    const QString m_name; // the name the dialog was opened with
    Printer printer;      // the stored record as it was when the dialog opened
    QString m_newAddress; // a confirmed new address and name, until the check answers
    QString m_newName;
    QIntValidator *m_octetValidator;
};
