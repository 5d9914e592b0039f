#pragma once
// First step of adding printers: the user picks how to find them.

#include <QDialog>

namespace Ui {
class AddPrinterMethod;
}

class AddPrinterMethod : public QDialog
{
    Q_OBJECT
public:
    explicit AddPrinterMethod(QWidget *parent = nullptr);
    ~AddPrinterMethod() override;

    // 0 when the dialog was closed without a choice, 1 automatic search,
    // 2 address-range search, 3 a single address.
    int way = 0;

public slots:
    void openAuto();
    void openRange();
    void openOne();

private:
    Ui::AddPrinterMethod *ui;
};
