#include "ui/SearchWindow.h"

#include "discovery/AddPrinterWorker.h"
#include "discovery/RangeSearchWorker.h"
#include "discovery/SNMPSearchWorker.h"
#include "ui/MessageBoxes.h"
#include "ui_SearchWindow.h"

#include <QIcon>
#include <QListWidgetItem>
#include <QMovie>
#include <QSet>

#include <algorithm>
#include <utility>

namespace {

const QString kSeparator = QStringLiteral("||");

// Workers own themselves once started: a dialog may close while one runs, and
// its result then goes nowhere.
void startOwned(QThread *worker)
{
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::InheritPriority);
}

} // namespace

SearchWindow::SearchWindow(QWidget *parent, QString start, QString end)
    : QDialog(parent), ui(new Ui::SearchWindow), m_start(std::move(start)), m_end(std::move(end)),
      m_statusMovie(new QMovie(this)),
      m_loadingMovie(new QMovie(QStringLiteral(":/rc/loading.gif"), QByteArray(), this))
{
    ui->setupUi(this);
    m_statusMovie->setScaledSize(QSize(15, 15));
    ui->statusIcon->setMovie(m_statusMovie);
    ui->statusIcon->hide();
    ui->statusTxt->hide();
    m_loadingMovie->setScaledSize(QSize(50, 50));
    ui->loadingLabel->setMovie(m_loadingMovie);
    ui->loadingLabel->hide();
    connect(ui->refreshButton, &QPushButton::clicked, this, &SearchWindow::startSearch);
    connect(ui->postButton, &QPushButton::clicked, this, &SearchWindow::postAddPrinter);
    connect(ui->cancelButton, &QPushButton::clicked, this, &SearchWindow::cancelUI);
    startSearch();
}

SearchWindow::~SearchWindow()
{
    delete ui;
}

void SearchWindow::startSearch()
{
    ui->listWidget->clear();
    PrinterItem::registerMetaTypes();
    QThread *worker = nullptr;
    if (!m_start.isEmpty()) {
        auto *range = new RangeSearchWorker(m_start, m_end);
        connect(range, &RangeSearchWorker::resultReady, this, &SearchWindow::showList);
        worker = range;
    } else {
        auto *snmp = new SNMPSearchWorker();
        connect(snmp, &SNMPSearchWorker::resultReady, this, &SearchWindow::showList);
        worker = snmp;
    }
    ++m_runningSearches;
    ui->loadingLabel->show();
    m_loadingMovie->start();
    startOwned(worker);
}

void SearchWindow::showList(QList<PrinterItem> items)
{
    // A refresh during a search lets both answer; a printer is listed once.
    QSet<QString> listed;
    for (int row = 0; row < ui->listWidget->count(); ++row)
        listed.insert(ui->listWidget->item(row)->data(Qt::UserRole).toString());
    for (const PrinterItem &found : items) {
        const QString key = found.name + kSeparator + found.ip;
        if (listed.contains(key))
            continue;
        listed.insert(key);
        auto *entry = new QListWidgetItem(QIcon(QStringLiteral(":/rc/printer.png")),
                                          found.name + QStringLiteral(" (") + found.ip + QStringLiteral(")"));
        entry->setData(Qt::UserRole, key);
        ui->listWidget->addItem(entry);
    }
    if (m_runningSearches > 0)
        --m_runningSearches;
    if (m_runningSearches == 0) {
        m_loadingMovie->stop();
        ui->loadingLabel->hide();
    }
}

void SearchWindow::postAddPrinter()
{
    QList<QListWidgetItem *> selected = ui->listWidget->selectedItems();
    if (selected.isEmpty()) {
        Warn(QObject::tr("Warning"), QObject::tr("Please choose printer!"));
        return;
    }
    markStatus(MarkTag::Busy, QStringLiteral("正在添加打印机，请稍候..."));
    ui->postButton->setEnabled(false);
    ui->cancelButton->setEnabled(false);
    // In list order, so that "stops at the first failure" means what the user sees.
    std::sort(selected.begin(), selected.end(), [this](QListWidgetItem *a, QListWidgetItem *b) {
        return ui->listWidget->row(a) < ui->listWidget->row(b);
    });
    QList<PrinterItem> chosen;
    for (const QListWidgetItem *entry : selected) {
        // The address never holds the separator, the name may: split at the last one.
        const QString data = entry->data(Qt::UserRole).toString();
        const int at = data.lastIndexOf(kSeparator);
        if (at >= 0)
            chosen.append(PrinterItem{data.left(at), data.mid(at + kSeparator.size())});
    }
    auto *worker = new AddPrinterWorker(chosen);
    connect(worker, &AddPrinterWorker::resultReady, this, &SearchWindow::postAddPrinteresult);
    startOwned(worker);
}

void SearchWindow::postAddPrinteresult(QString err)
{
    if (err.isEmpty()) {
        accept();
        return;
    }
    ui->postButton->setEnabled(true);
    ui->cancelButton->setEnabled(true);
    if (err == QLatin1String("exist"))
        err = QObject::tr("Printer already exist.");
    markStatus(MarkTag::Error, err);
}

void SearchWindow::cancelUI()
{
    reject();
}

void SearchWindow::markStatus(MarkTag tag, QString text)
{
    showMarkStatus(ui->statusIcon, ui->statusTxt, m_statusMovie, tag, text);
}
