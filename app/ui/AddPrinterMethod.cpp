#include "ui/AddPrinterMethod.h"

#include "ui_AddPrinterMethod.h"

AddPrinterMethod::AddPrinterMethod(QWidget *parent) : QDialog(parent), ui(new Ui::AddPrinterMethod)
{
    ui->setupUi(this);
    QFont tipFont = ui->tip_msg->font();
    tipFont.setPixelSize(14);
    ui->tip_msg->setFont(tipFont);
    // Run-time texts live in the catalogue's QObject context.
    ui->tip_msg->setText(QObject::tr("Print through USB not supported temporarily."));
    connect(ui->cmdAuto, &QPushButton::clicked, this, &AddPrinterMethod::openAuto);
    connect(ui->cmdRange, &QPushButton::clicked, this, &AddPrinterMethod::openRange);
    connect(ui->cmdOne, &QPushButton::clicked, this, &AddPrinterMethod::openOne);
}

AddPrinterMethod::~AddPrinterMethod()
{
    delete ui;
}

void AddPrinterMethod::openAuto()
{
    way = 1;
    accept();
}

void AddPrinterMethod::openRange()
{
    way = 2;
    accept();
}

void AddPrinterMethod::openOne()
{
    way = 3;
    accept();
}
