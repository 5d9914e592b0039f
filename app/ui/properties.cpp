#include "ui/properties.h"

#include "discovery/CheckPrinterWorker.h"
#include "platform/RLog.h"
#include "storage/PrinterStore.h"
#include "ui/MessageBoxes.h"
#include "ui/OverwritePrinter.h"
#include "ui_properties.h"

#include <QIntValidator>

#include <utility>

properties::properties(QWidget *parent, QString name)
    : QDialog(parent), ui(new Ui::properties), m_name(std::move(name)),
      m_octetValidator(new QIntValidator(0, 255, this))
{
    ui->setupUi(this);
    printer = util::getPrinter(m_name);
    ui->nameEdit->setText(printer.deviceName);
    const QStringList octets = printer.deviceIpAddress.split(QLatin1Char('.'));
    QLineEdit *const fields[] = {ui->edit1, ui->edit2, ui->edit3, ui->edit4};
    for (int i = 0; i < 4; ++i) {
        if (octets.size() == 4)
            fields[i]->setText(octets[i]);
        fields[i]->setValidator(m_octetValidator);
    }
    ui->comboBox->addItems(DeliveryMode::labels());
    ui->comboBox->setCurrentIndex(DeliveryMode::position(printer.deviceDocType));
}

properties::~properties()
{
    delete ui;
}

void properties::on_pushButton_clicked()
{
    const QString name = ui->nameEdit->text();
    printer.deviceDocType = DeliveryMode::keyAt(ui->comboBox->currentIndex());
    if (name.isEmpty()) {
        Warn(QStringLiteral("提示"), QStringLiteral("打印机名字不能为空！"));
        return;
    }
    if (util::isPrinterExist(name, printer.deviceId)) {
        Warn(QStringLiteral("提示"), QStringLiteral("打印机名字已存在！"));
        return;
    }
    if (ui->edit1->text().isEmpty() || ui->edit2->text().isEmpty() || ui->edit3->text().isEmpty() ||
        ui->edit4->text().isEmpty()) {
        Warn(QStringLiteral("提示"), QStringLiteral("IP 地址不能为空"));
        return;
    }
    const QString address =
        QStringList{ui->edit1->text(), ui->edit2->text(), ui->edit3->text(), ui->edit4->text()}.join(QLatin1Char('.'));
    if (address == printer.deviceIpAddress) {
        printer.deviceName = name;
        util::changePrinter(printer);
        accept();
        return;
    }
    ui->pushButton->setEnabled(false);
    m_newAddress = address;
    m_newName = name;
    auto *worker = new CheckPrinterWorker(address);
    connect(worker, QOverload<Printer, QString>::of(&CheckPrinterWorker::resultReady), this,
            &properties::checkPrinterResult);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::InheritPriority);
}

void properties::on_pushButton_2_clicked()
{
    reject();
}

void properties::checkPrinterResult(Printer p, QString err)
{
    ui->pushButton->setEnabled(true);
    if (!err.isEmpty()) {
        TLOG(err);
        Warn(QStringLiteral("提示"), err);
        return;
    }
    p.deviceName = m_newName;
    if (util::printerCount(m_newAddress) > 0) {
        OverwritePrinter overwrite(p, this);
        overwrite.setChangePrinter(true);
        overwrite.setDeletePrinter(printer);
        overwrite.setMsgText(QObject::tr("Device already exist. Ignore or overwrite it.\n") + m_newAddress);
        overwrite.exec();
        const QString failure = overwrite.getErrMsg();
        if (!failure.isEmpty())
            Warn(QStringLiteral("提示"), failure);
        accept();
        return;
    }
    util::changePrinter(printer, p);
    TLOG(m_newName + QStringLiteral(": printer connect ok"));
    accept();
}
