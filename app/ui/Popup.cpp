#include "ui/Popup.h"
#include "cloud/adsMan.h"

#include "ui/AdsLabel.h"
#include "ui/ErrorDetails.h"

#include "ui_Popup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

const int POPUP_WIDTH = 400;
const int POPUP_HEIGHT = 176;
const int POPUP_TIMEOUT = 20;

Popup::Popup(QWidget *parent) : QDialog(parent), ui(new Ui::Popup)
{
    ui->setupUi(this);
    setFixedSize(400, 160);

    auto *banner = new AdsLabel(this);
    ui->verticalLayout->addWidget(banner);
    bannerMovie = new QMovie(QStringLiteral(":/rc/banner_pop.png"), QByteArray(), this);
    // Only the width is fixed: a size without a height leaves the picture at its own size.
    QSize scaled;
    scaled.setWidth(POPUP_WIDTH);
    bannerMovie->setScaledSize(scaled);
    connect(banner, &AdsLabel::clicked, this, &Popup::OpenAd);
    banner->setMovie(bannerMovie);
    banner->setCursor(Qt::PointingHandCursor);
    banner->show();
    bannerMovie->start();

    // Measured from the available area's size, which is assumed to start at 0, 0.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.width() - 1 - POPUP_WIDTH - 9, area.height() - POPUP_HEIGHT);
    }

    connect(ui->btnPrev, &QPushButton::clicked, this, &Popup::movePrev);
    connect(ui->btnNext, &QPushButton::clicked, this, &Popup::moveNext);

    closeTimer = new QTimer(this);
    closeTimer->setSingleShot(true);
    closeTimer->setTimerType(Qt::PreciseTimer);
    connect(closeTimer, &QTimer::timeout, this, &Popup::closeMe);
    closeTimer->start(POPUP_TIMEOUT * 1000);
}

Popup::~Popup()
{
    delete ui;
}

void Popup::pushMessage(QString msg)
{
    adItem = adsMan::GetOne(AdItem::PopupBanner);
    showAdInBanner(bannerMovie, adItem, AdItem::PopupBanner);
    messages.append(msg);
    current = messages.size() - 1;
    display();
}

void Popup::display()
{
    if (messages.isEmpty())
        return;
    const QString &m = messages[current];
    if (m.startsWith(QLatin1String("OK"))) {
        ui->label->setText(QStringLiteral("您的任务已打印完成！"));
        ui->labelStatus->setPixmap(QPixmap(QStringLiteral(":/rc/pop_ok.png")));
        ui->btnError->hide();
    } else if (m.startsWith(QLatin1String("Fail"))) {
        ui->label->setText(QStringLiteral("您的任务已打印失败！"));
        ui->labelStatus->setPixmap(QPixmap(QStringLiteral(":/rc/pop_fail.png")));
        ui->btnError->show();
    } else {
        ui->label->setText(m);
        ui->labelStatus->setPixmap(QPixmap(QStringLiteral(":/rc/pop_fail.png")));
        ui->btnError->show();
    }
    const bool several = messages.size() > 1;
    ui->btnNext->setVisible(several);
    ui->btnPrev->setVisible(several);
    ui->labelPage->setVisible(several);
    if (several)
        ui->labelPage->setText(QString::number(current + 1) + QLatin1Char('/') + QString::number(messages.size()));
    closeTimer->stop();
    closeTimer->start(POPUP_TIMEOUT * 1000);
}

void Popup::moveNext()
{
    if (current < messages.size() - 1)
        ++current;
    display();
}

void Popup::movePrev()
{
    if (current > 0)
        --current;
    display();
}

void Popup::closeMe()
{
    messages.clear();
    current = 0;
    hide();
}

void Popup::on_pushButton_clicked()
{
    closeMe();
}

void Popup::closeEvent(QCloseEvent *event)
{
    closeMe();
    event->accept();
}

void Popup::on_btnError_clicked()
{
    if (messages.isEmpty())
        return;
    // A child window of the notification: the notification is modal, and a
    // window of its own would be blocked by it until it closes.
    auto *details = new ErrorDetails(messages[current], this);
    details->setAttribute(Qt::WA_DeleteOnClose);
    details->show();
}

// A banner click opens the advertisement once the advertisement list exists.
void Popup::OpenAd()
{
    openAd(adItem, AdItem::PopupBanner);
}

void Popup::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragging = true;
        dragOffsetX = event->globalPos().x() - pos().x();
        dragOffsetY = event->globalPos().y() - pos().y();
    }
    event->accept();
}

void Popup::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging && event->buttons() != Qt::NoButton)
        move(event->globalPos().x() - dragOffsetX, event->globalPos().y() - dragOffsetY);
    event->accept();
}

void Popup::mouseReleaseEvent(QMouseEvent *event)
{
    dragging = false;
    QDialog::mouseReleaseEvent(event);
}
