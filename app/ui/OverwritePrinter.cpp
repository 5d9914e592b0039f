#include "ui/OverwritePrinter.h"

#include "storage/PrinterStore.h"
#include "ui_OverwritePrinter.h"

#include <utility>

OverwritePrinter::OverwritePrinter(Printer p, QWidget *parent)
    : QDialog(parent), ui(new Ui::OverwritePrinter), printer(std::move(p))
{
    ui->setupUi(this);
    // The title lives in the catalogue's QObject context, the buttons in this class's.
    setWindowTitle(QObject::tr("Driver already exist"));
    for (QPushButton *button : {ui->cancelBtn, ui->overwriteBtn}) {
        QFont font = button->font();
        font.setPixelSize(14);
        button->setFont(font);
    }
    connect(ui->cancelBtn, &QPushButton::clicked, this, &OverwritePrinter::cancelFunc);
    connect(ui->overwriteBtn, &QPushButton::clicked, this, &OverwritePrinter::savePrinter);
}

OverwritePrinter::~OverwritePrinter()
{
    delete ui;
}

void OverwritePrinter::setMsgText(const QString &text)
{
    ui->msgLabel->setText(text);
}

void OverwritePrinter::setDeletePrinter(const Printer &p)
{
    deletePrinter = p;
}

void OverwritePrinter::setChangePrinter(bool change)
{
    changeFlag = change;
}

void OverwritePrinter::savePrinter()
{
    ui->cancelBtn->setEnabled(false);
    ui->overwriteBtn->setEnabled(false);
    const QString newIp = printer.deviceIpAddress;
    const QString editedIp = changeFlag ? deletePrinter.deviceIpAddress : QString();

    // The removals below cannot be undone. A name that a printer staying in
    // the list already uses would make the addition fail after them and lose
    // the replaced printers, so that case stops before anything changes.
    const QList<Printer> stored = util::getPrinters();
    for (const Printer &other : stored) {
        const bool goes = other.deviceIpAddress == newIp || (changeFlag && other.deviceIpAddress == editedIp);
        if (!goes && other.deviceName == printer.deviceName) {
            m_errMsg = QObject::tr("Add printer failed: ") + QStringLiteral("printer already exist");
            accept();
            return;
        }
    }

    if (util::isPrinterExistByIP(newIp)) {
        for (const Printer &other : stored) {
            if (other.deviceIpAddress == newIp)
                util::removePrinterByIP(newIp);
        }
    }
    if (changeFlag && util::isPrinterExistByIP(editedIp))
        util::removePrinterByIP(editedIp);
    QString reason;
    if (!util::addPrinter(printer, reason))
        m_errMsg = QObject::tr("Add printer failed: ") + reason;
    accept();
}

void OverwritePrinter::cancelFunc()
{
    reject();
}
