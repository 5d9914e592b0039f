#include "ui/addprinterrange.h"

#include "ui/MessageBoxes.h"
#include "ui_addprinterrange.h"

#include <QHostAddress>
#include <QIntValidator>

namespace {

// The validator lets "010" and "+5" through; both mean a decimal octet, and
// QHostAddress would read the first as octal.
QString octetText(const QLineEdit *field)
{
    bool ok = false;
    const int value = field->text().toInt(&ok, 10);
    return ok ? QString::number(value) : field->text();
}

QString joinAddress(const QLineEdit *a, const QLineEdit *b, const QLineEdit *c, const QLineEdit *d)
{
    return QStringList{octetText(a), octetText(b), octetText(c), octetText(d)}.join(QLatin1Char('.'));
}

} // namespace

addprinterrange::addprinterrange(QWidget *parent)
    : QDialog(parent), ui(new Ui::addprinterrange), m_octetValidator(new QIntValidator(1, 255, this))
{
    ui->setupUi(this);
    for (QLineEdit *field : {ui->editStart, ui->editStart_2, ui->editStart_3, ui->editStart_4, ui->editEnd_4})
        field->setValidator(m_octetValidator);
}

addprinterrange::~addprinterrange()
{
    delete ui;
}

void addprinterrange::on_okBtn_clicked()
{
    const QString start = joinAddress(ui->editStart, ui->editStart_2, ui->editStart_3, ui->editStart_4);
    const QString end = joinAddress(ui->editEnd, ui->editEnd_2, ui->editEnd_3, ui->editEnd_4);
    if (QHostAddress(start).isNull() || QHostAddress(end).isNull()) {
        Warn(QObject::tr("Warn"), QObject::tr("ip invalid"));
        return;
    }
    if (ui->editStart_4->text().toInt() < ui->editEnd_4->text().toInt()) {
        m_start = start;
        m_end = octetText(ui->editEnd_4);
        accept();
        return;
    }
    Warn(QObject::tr("Warn"), QObject::tr("start must lesser than end"));
}

void addprinterrange::on_cancelBtn_clicked()
{
    reject();
}

// The end address mirrors the start's first three octets, so a range never
// leaves one /24 network.
void addprinterrange::on_editStart_textChanged(const QString &text)
{
    ui->editEnd->setText(text);
}

void addprinterrange::on_editStart_2_textChanged(const QString &text)
{
    ui->editEnd_2->setText(text);
}

void addprinterrange::on_editStart_3_textChanged(const QString &text)
{
    ui->editEnd_3->setText(text);
}

void addprinterrange::on_editEnd_textEdited(const QString &) {}
