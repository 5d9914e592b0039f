#include "ui/AddPrinterWindow.h"

#include "discovery/AddPrinterWorker.h"
#include "discovery/CheckPrinterWorker.h"
#include "ui/MessageBoxes.h"
#include "ui/OverwritePrinter.h"
#include "ui_AddPrinterWindow.h"

#include <QMovie>

AddPrinterWindow::AddPrinterWindow(QWidget *parent, QString, QString)
    : QDialog(parent), ui(new Ui::AddPrinterWindow), m_statusMovie(new QMovie(this))
{
    ui->setupUi(this);
    m_statusMovie->setScaledSize(QSize(15, 15));
    ui->statusIcon->setMovie(m_statusMovie);
    ui->statusIcon->hide();
    ui->statusTxt->hide();
    connect(ui->checkButton, &QPushButton::clicked, this, &AddPrinterWindow::checkIP);
    connect(ui->addBtn, &QPushButton::clicked, this, &AddPrinterWindow::addPrinter);
    connect(ui->closeBtn, &QPushButton::clicked, this, &QDialog::reject);
}

AddPrinterWindow::~AddPrinterWindow()
{
    releaseWorker();
    delete ui;
}

// A running add goes on without this window and deletes itself when done;
// a finished one is deleted here.
void AddPrinterWindow::releaseWorker()
{
    if (!m_worker)
        return;
    disconnect(m_worker, nullptr, this, nullptr);
    connect(m_worker, &QThread::finished, m_worker, &QObject::deleteLater);
    if (m_worker->isFinished())
        delete m_worker;
    m_worker = nullptr;
}

QString AddPrinterWindow::address() const
{
    return QStringList{ui->editStart->text(), ui->editStart_2->text(), ui->editStart_3->text(), ui->editStart_4->text()}
        .join(QLatin1Char('.'));
}

void AddPrinterWindow::checkIP()
{
    markStatus(MarkTag::Busy, QStringLiteral("正在检查，请稍候..."));
    ui->checkButton->setEnabled(false);
    auto *worker = new CheckPrinterWorker(address());
    connect(worker, QOverload<QString, QString>::of(&CheckPrinterWorker::resultReady), this,
            &AddPrinterWindow::checkPrinterResult);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::InheritPriority);
}

void AddPrinterWindow::checkPrinterResult(QString name, QString err)
{
    ui->checkButton->setEnabled(true);
    if (!err.isEmpty()) {
        markStatus(MarkTag::Error, err);
        return;
    }
    ui->nameEdit->setText(name);
    markStatus(MarkTag::Ok, QObject::tr("Printer Connect OK!"));
}

void AddPrinterWindow::addPrinter()
{
    if (ui->nameEdit->text().isEmpty() || ui->editStart->text().isEmpty() || ui->editStart_2->text().isEmpty() ||
        ui->editStart_3->text().isEmpty() || ui->editStart_4->text().isEmpty()) {
        markStatus(MarkTag::Error, QObject::tr("Please fill all info!"));
        return;
    }
    markStatus(MarkTag::Busy, QStringLiteral("正在添加，请稍候..."));
    ui->addBtn->setEnabled(false);
    releaseWorker();
    m_worker = new AddPrinterWorker({PrinterItem{ui->nameEdit->text(), address()}});
    connect(m_worker, &AddPrinterWorker::resultReady, this, &AddPrinterWindow::addPrinterResult);
    m_worker->start(QThread::InheritPriority);
}

void AddPrinterWindow::addPrinterResult(QString err)
{
    ui->addBtn->setEnabled(true);
    if (err.isEmpty()) {
        accept();
        return;
    }
    if (err != QLatin1String("exist")) {
        markStatus(MarkTag::Error, err);
        return;
    }
    Printer printer;
    if (m_worker) {
        // The worker has emitted its last signal; its record is complete.
        m_worker->wait();
        printer = m_worker->printer();
    }
    OverwritePrinter overwrite(printer, this);
    overwrite.setMsgText(QObject::tr("Device already exist. Ignore or overwrite it.\n") + printer.deviceIpAddress);
    overwrite.exec();
    const QString failure = overwrite.getErrMsg();
    if (!failure.isEmpty())
        Warn(QObject::tr("Warning"), failure);
    accept();
}

void AddPrinterWindow::markStatus(MarkTag tag, QString text)
{
    showMarkStatus(ui->statusIcon, ui->statusTxt, m_statusMovie, tag, text);
}
