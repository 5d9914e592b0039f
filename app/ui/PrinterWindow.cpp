#include "ui/PrinterWindow.h"

#include "backend/SpoolFormat.h"
#include "cloud/adsMan.h"
#include "intake/JobFiles.h"
#include "platform/RLog.h"
#include "storage/Config.h"
#include "storage/PrinterStore.h"
#include "storage/Settings.h"
#include "ui/About.h"
#include "ui/AddPrinterMethod.h"
#include "ui/AddPrinterWindow.h"
#include "ui/AdsLabel.h"
#include "ui/AdvertiPeriod.h"
#include "ui/Feedback.h"
#include "ui/MessageBoxes.h"
#include "ui/Popup.h"
#include "ui/PrinterList.h"
#include "ui/SearchWindow.h"
#include "ui/SystemQueue.h"
#include "ui/UpdateChecks.h"
#include "ui/addprinterrange.h"
#include "ui/properties.h"

#include "ui_PrinterWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileSystemWatcher>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QMovie>
#include <QSplashScreen>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kJobIntervalMs = 1000;
constexpr int kCloudIntervalMs = 1800000;
constexpr int kAdIntervalMs = 3600000;
constexpr int kBannerHeight = 60;

// First run is one-way: once written as 0 the add chain never opens by itself again.
void endFirstRun()
{
    config::setIniValue(QStringLiteral("Common/FirstRun"), 0);
    config::is_first_run = 0;
}

} // namespace

namespace ui {

QString modelQueryUrl(const QString &serviceBaseUrl)
{
    const QUrl base(serviceBaseUrl);
    QUrl page;
    page.setScheme(QStringLiteral("https"));
    page.setHost(base.host());
    page.setPort(base.port());
    page.setPath(QStringLiteral("/tavrin/queryModel.jsp"));
    return page.toString();
}

} // namespace ui

PrinterWindow::PrinterWindow(QSplashScreen *splash, QWidget *parent) : QDialog(parent), ui(new Ui::PrinterWindow)
{
    ui->setupUi(this);
    setFixedSize(820, 454);

    createTrayIcon();
    setProperty();
    connect(ui->delButton, &QPushButton::clicked, this, &PrinterWindow::deletePrinter);
    connect(ui->editButton, &QPushButton::clicked, this, &PrinterWindow::showProp);
    connect(ui->listWidget, &QListWidget::currentItemChanged, this, &PrinterWindow::listItemChanged);
    connect(ui->searchButton, &QPushButton::clicked, this, &PrinterWindow::openSearch);
    connect(ui->refreshBtn, &QPushButton::clicked, this, &PrinterWindow::refreshList);

    refreshList();

    // The banner shows its default picture; advertisements replace it when
    // the window is shown.
    const int bannerWidth = frameGeometry().width();
    ui->verticalLayoutWidget->setGeometry(0, 0, bannerWidth, kBannerHeight);
    auto *banner = new AdsLabel(this);
    ui->Ads->addWidget(banner);
    bannerMovie = new QMovie(QStringLiteral(":/rc/banner_main.png"), QByteArray(), this);
    bannerMovie->setScaledSize(QSize(bannerWidth, kBannerHeight));
    connect(banner, &AdsLabel::clicked, this, &PrinterWindow::OpenAd);
    banner->setMovie(bannerMovie);
    banner->setCursor(Qt::PointingHandCursor);
    banner->show();
    bannerMovie->start();

    spoolDir =
        QString::fromStdString(spool::spoolRoot(config::fileDir.toStdString())) + QString::fromUtf8(qgetenv("USER"));

    jobTimer = new QTimer(this);
    jobTimer->setInterval(kJobIntervalMs);
    connect(jobTimer, &QTimer::timeout, this, &PrinterWindow::receivedJob);
    cloudTimer = new QTimer(this);
    cloudTimer->setInterval(kCloudIntervalMs);
    connect(cloudTimer, &QTimer::timeout, this, &PrinterWindow::refreshFromCloud);
    adTimer = new QTimer(this);
    adTimer->setInterval(kAdIntervalMs);
    connect(adTimer, &QTimer::timeout, this, &PrinterWindow::popupAdPeriod);

    spoolWatcher = new QFileSystemWatcher(this);
    connect(spoolWatcher, &QFileSystemWatcher::directoryChanged, this, &PrinterWindow::spoolChanged);
    kickTimer = new QTimer(this);
    kickTimer->setSingleShot(true);
    kickTimer->setInterval(0);
    connect(kickTimer, &QTimer::timeout, this, &PrinterWindow::receivedJob);

    if (util::getPrinters().isEmpty() && config::is_first_run != 0) {
        endFirstRun();
        if (splash)
            splash->close();
        openSearch();
    }

    ui::ensureSystemQueue(config::m_ppdFile);
    if (const int stale = removeStaleTemporaries(spoolDir))
        TLOG(QStringLiteral("removed %1 temporary files left by an interrupted delivery").arg(stale));

    jobTimer->start();
    watchSpool(); // with the job timer: no pass runs while the first-run dialogs are open
    cloudTimer->start();
    adTimer->start();
    refreshFromCloud();
    trayIcon->show();
}

PrinterWindow::~PrinterWindow()
{
    delete popup;
    delete ui;
}

void PrinterWindow::createTrayIcon()
{
    trayIcon = new QSystemTrayIcon(this);
    trayMenu = new QMenu(this);
    aboutAction = new QAction(QStringLiteral("关于我们"), this);
    feedbackAction = new QAction(QStringLiteral("问题反馈"), this);
    manageAction = new QAction(QStringLiteral("设备管理"), this);
    exitAction = new QAction(QStringLiteral("退出"), this);
    trayMenu->addAction(aboutAction);
    trayMenu->addAction(feedbackAction);
    trayMenu->addAction(manageAction);
    trayMenu->addAction(exitAction);
    trayIcon->setContextMenu(trayMenu);
    trayIcon->setToolTip(QStringLiteral("塔文"));
    trayIcon->setIcon(QIcon(QStringLiteral(":/rc/logo.ico")));

    connect(aboutAction, &QAction::triggered, this, &PrinterWindow::menuAbout);
    connect(feedbackAction, &QAction::triggered, this, &PrinterWindow::menuFeedback);
    connect(manageAction, &QAction::triggered, this, &PrinterWindow::showMainWin);
    connect(exitAction, &QAction::triggered, this, &PrinterWindow::menuExit);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &PrinterWindow::menuActive);
}

void PrinterWindow::setProperty()
{
    const auto pixelFont = [](QWidget *w, int pixels) {
        QFont f = w->font();
        f.setPixelSize(pixels);
        w->setFont(f);
    };
    pixelFont(ui->addFreqUsedBtn, 12);
    pixelFont(ui->rmFreqUsedBtn, 12);
    pixelFont(ui->printerModelBtn, 14);
}

void PrinterWindow::refreshList()
{
    const QList<Printer> printers = util::getPrinters();
    ui->listWidget->clear();
    const bool empty = printers.isEmpty();
    ui->frameEmpty->setVisible(empty);
    ui->labelNoDevice->setVisible(empty);
    ui->frameProp->setVisible(!empty);
    if (empty)
        return;
    ui::fillPrinterList(ui->listWidget, printers);
}

QString PrinterWindow::currentName() const
{
    const QListWidgetItem *item = ui->listWidget->currentItem();
    return item ? item->text() : QString();
}

void PrinterWindow::listItemChanged(QListWidgetItem *current, QListWidgetItem *)
{
    if (!current)
        return;
    const Printer p = util::getPrinter(current->text());
    if (p.deviceName.isEmpty())
        return;
    ui->label_name->setText(p.deviceName);
    ui->label_ip->setText(p.deviceIpAddress);
    ui->label_method->setText(DeliveryMode::label(p.deviceDocType));
}

void PrinterWindow::on_listWidget_itemSelectionChanged()
{
    const QString name = currentName();
    if (name.isEmpty()) {
        Warn(QObject::tr("Warning"), QObject::tr("Please choose printer!"));
        return;
    }
    const Printer p = util::getPrinter(name);
    if (p.deviceName.isEmpty())
        return;
    const bool favourite = ui::isFavourite(p);
    ui->addFreqUsedBtn->setVisible(!favourite);
    ui->rmFreqUsedBtn->setVisible(favourite);
}

void PrinterWindow::setFavourite(bool favourite)
{
    const QString name = currentName();
    if (name.isEmpty()) {
        Warn(QObject::tr("Warning"), QObject::tr("Please choose printer!"));
        return;
    }
    const Printer p = util::getPrinter(name);
    if (p.deviceName.isEmpty())
        return;
    ui::storeFavourite(p, favourite);
    refreshList();
}

void PrinterWindow::on_addFreqUsedBtn_clicked()
{
    setFavourite(true);
}

void PrinterWindow::on_rmFreqUsedBtn_clicked()
{
    setFavourite(false);
}

void PrinterWindow::deletePrinter()
{
    const QString name = currentName();
    if (name.isEmpty()) {
        Warn(QObject::tr("Warning"), QObject::tr("Please choose printer!"));
        return;
    }
    if (!AreYouSure(QStringLiteral("确认删除此打印机？")))
        return;
    util::removePrinter(name);
    refreshList();
}

void PrinterWindow::showProp()
{
    const QString name = currentName();
    if (name.isEmpty())
        return;
    properties dialog(nullptr, name);
    dialog.exec();
    refreshList();
}

void PrinterWindow::openSearch()
{
    AddPrinterMethod method(nullptr);
    method.exec();
    switch (method.way) {
    case 1: {
        TLOG("auto search.");
        SearchWindow search(nullptr, QString(), QString());
        search.exec();
        break;
    }
    case 3: {
        TLOG("signle printer IP.");
        AddPrinterWindow one(this);
        one.exec();
        break;
    }
    case 2: {
        TLOG("IP range search.");
        addprinterrange range(nullptr);
        range.exec();
        if (!range.startAddress().isEmpty()) {
            SearchWindow search(nullptr, range.startAddress(), range.endOctet());
            search.exec();
        }
        break;
    }
    default:
        break;
    }
    refreshList();
}

void PrinterWindow::on_printerModelBtn_clicked()
{
    QDesktopServices::openUrl(QUrl(ui::modelQueryUrl(QString::fromStdString(Itf::_itf_url))));
}

void PrinterWindow::showMainWin()
{
    if (util::getPrinters().isEmpty() && config::is_first_run != 0) {
        endFirstRun();
        openSearch();
    }
    adItem = adsMan::GetOne(AdItem::MainWindowBanner);
    showAdInBanner(bannerMovie, adItem, AdItem::MainWindowBanner);
    showNormal();
    raise();
    activateWindow();
}

void PrinterWindow::menuActive(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        showMainWin();
}

void PrinterWindow::closeEvent(QCloseEvent *event)
{
    if (trayIcon && trayIcon->isVisible()) {
        hide();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void PrinterWindow::menuExit()
{
    if (AreYouSure(QStringLiteral("退出后将无法使用打印功能，是否仍然退出？")))
        QCoreApplication::quit();
}

void PrinterWindow::menuAbout()
{
    About about(nullptr);
    about.exec();
}

void PrinterWindow::menuFeedback()
{
    Feedback feedback(nullptr);
    feedback.exec();
}

void PrinterWindow::OpenAd()
{
    openAd(adItem, AdItem::MainWindowBanner);
}

void PrinterWindow::popupAdPeriod()
{
    AdvertiPeriod::popupDue(periodWindow, adTimer);
}

// The timer makes the next run come 30 minutes after this one ended.
void PrinterWindow::refreshFromCloud()
{
    cloudTimer->stop();
    adsMan::RefreshAdsListFromCloud();
    checkForUpdate(this);
    cloudTimer->start();
}

void PrinterWindow::showPopup(QString msg)
{
    if (!popup)
        popup = new Popup(nullptr);
    popup->pushMessage(msg);
    popup->show();
}
