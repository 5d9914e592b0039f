#include "ui/ErrorDetails.h"

#include "ui_ErrorDetails.h"

#include <QStringList>

ErrorDetails::ErrorDetails(QString msg, QWidget *parent) : QDialog(parent), ui(new Ui::ErrorDetails)
{
    ui->setupUi(this);
    setFixedSize(420, 240);
    // "Fail:<name>:<error>": the name is the second part; the error may itself
    // hold colons, so everything after the name is joined back together.
    const QStringList parts = msg.split(QLatin1Char(':'), Qt::KeepEmptyParts);
    if (parts.size() > 2) {
        ui->labelName->setText(parts[1]);
        ui->labelError->setText(parts.mid(2).join(QLatin1Char(':')));
    }
}

ErrorDetails::~ErrorDetails()
{
    delete ui;
}

void ErrorDetails::on_pushButton_clicked()
{
    close();
}
