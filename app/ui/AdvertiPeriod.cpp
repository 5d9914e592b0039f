#include "ui/AdvertiPeriod.h"

#include "ui_AdvertiPeriod.h"

#include "cloud/adsMan.h"
#include "ui/AdsLabel.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QHBoxLayout>
#include <QMovie>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

AdvertiPeriod::AdvertiPeriod(QWidget *parent) : QDialog(parent), ui(new Ui::AdvertiPeriod)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Dialog"));
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setFixedSize(600, 346);
    desktop = QApplication::desktop();
    move(desktop->width() - width(), desktop->height() - height());

    const QSize frame = frameSize();
    banner = new AdsLabel(this);
    connect(banner, &AdsLabel::clicked, this, &AdvertiPeriod::OpenAd);
    movie = new QMovie(QStringLiteral(":/rc/banner_main.png"), QByteArray(), this);
    movie->setScaledSize(frame);
    banner->setMovie(movie);
    banner->setCursor(Qt::ArrowCursor);
    movie->start();

    // The picture carries the close mark in its top-right corner; the button
    // lies over it. The glyph keeps it findable over a picture without one.
    closeButton = new QPushButton(QStringLiteral("✕"), banner);
    closeButton->setFixedSize(36, 36);
    closeButton->setStyleSheet(QStringLiteral("background:transparent;"));
    closeButton->setFlat(true); // without a panel of its own, whatever the style
    closeButton->setCursor(Qt::PointingHandCursor);
    connect(closeButton, &QPushButton::clicked, this, &AdvertiPeriod::close);
    closeRow = new QHBoxLayout;
    closeRow->addSpacing(frame.width() - 37);
    closeRow->addWidget(closeButton);
    overPicture = new QVBoxLayout(banner);
    overPicture->addLayout(closeRow);
    overPicture->addSpacing(frame.height() - 37);
    outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(banner);
}

AdvertiPeriod::~AdvertiPeriod()
{
    delete ui;
}

bool AdvertiPeriod::showNextAd()
{
    adItem = adsMan::GetOne(location);
    return showAdInBanner(movie, adItem, location);
}

void AdvertiPeriod::OpenAd()
{
    openAd(adItem, location);
}

void AdvertiPeriod::popupDue(AdvertiPeriod *&window, QTimer *adTimer)
{
    adTimer->stop();
    if (!window)
        window = new AdvertiPeriod(nullptr);
    if (!window->showNextAd()) {
        window->close();
        return;
    }
    adTimer->setInterval(window->currentAd().intervalMs());
    window->show();
    adTimer->start();
}
