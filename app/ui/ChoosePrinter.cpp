#include "ui/ChoosePrinter.h"
#include "cloud/adsMan.h"

#include "storage/PrinterStore.h"
#include "ui/AdsLabel.h"
#include "ui/MessageBoxes.h"
#include "ui/PrinterList.h"

#include "ui_ChoosePrinter.h"

#include <QLabel>
#include <QMovie>

namespace {

constexpr int kBannerHeight = 62;

} // namespace

ChoosePrinter::ChoosePrinter(QWidget *parent) : QDialog(parent), ui(new Ui::ChoosePrinter)
{
    ui->setupUi(this);
    setFixedSize(580, 430);
    _refreshList();
    connect(ui->cancelBtn, &QPushButton::clicked, this, &ChoosePrinter::cancelPrint);
    connect(ui->printBtn, &QPushButton::clicked, this, &ChoosePrinter::submitPrint);

    // The banner shows its default picture until advertisements exist.
    const int bannerWidth = frameGeometry().width();
    ui->verticalLayoutWidget->setGeometry(0, 0, bannerWidth, kBannerHeight);
    auto *banner = new AdsLabel(this);
    ui->Ads->addWidget(banner);
    bannerMovie = new QMovie(QStringLiteral(":/rc/banner_main.png"), QByteArray(), this);
    bannerMovie->setScaledSize(QSize(bannerWidth, kBannerHeight));
    connect(banner, &AdsLabel::clicked, this, &ChoosePrinter::OpenAd);
    banner->setMovie(bannerMovie);
    banner->setCursor(Qt::PointingHandCursor);
    banner->show();
    bannerMovie->start();
    adItem = adsMan::GetOne(AdItem::ChooserBanner);
    showAdInBanner(bannerMovie, adItem, AdItem::ChooserBanner);
}

ChoosePrinter::~ChoosePrinter()
{
    delete ui;
}

void ChoosePrinter::_refreshList()
{
    ui::fillPrinterList(ui->listWidget, util::getPrinters());
}

Printer ChoosePrinter::_currentPrinter()
{
    const QListWidgetItem *item = ui->listWidget->currentItem();
    if (!item || item->text().isEmpty())
        return Printer();
    return util::getPrinter(item->text());
}

void ChoosePrinter::on_listWidget_itemSelectionChanged()
{
    const bool favourite = ui::isFavourite(_currentPrinter());
    ui->addButton->setVisible(!favourite);
    ui->remButton->setVisible(favourite);
}

void ChoosePrinter::_setFavourite(bool favourite)
{
    ui::storeFavourite(_currentPrinter(), favourite);
    _refreshList();
}

void ChoosePrinter::on_addButton_clicked()
{
    _setFavourite(true);
}

void ChoosePrinter::on_remButton_clicked()
{
    _setFavourite(false);
}

void ChoosePrinter::submitPrint()
{
    printer = _currentPrinter();
    if (!printer.deviceName.isEmpty()) {
        close();
        return;
    }
    Warn(QObject::tr("Warning"), QObject::tr("Please choose printer!"));
}

void ChoosePrinter::cancelPrint()
{
    printer.deviceIpAddress.clear();
    close();
}

// A banner click opens the advertisement once the advertisement list exists.
void ChoosePrinter::OpenAd()
{
    openAd(adItem, AdItem::ChooserBanner);
}
