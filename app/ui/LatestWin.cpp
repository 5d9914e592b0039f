#include "ui/LatestWin.h"

#include "ui_LatestWin.h"

LatestWin::LatestWin(QWidget *parent) : QDialog(parent), ui(new Ui::LatestWin)
{
    ui->setupUi(this);
}

LatestWin::~LatestWin()
{
    delete ui;
}

void LatestWin::on_pushButton_clicked()
{
    close();
}
