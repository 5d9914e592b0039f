#include "ui/AdsLabel.h"

#include "platform/RLog.h"

#include <QDesktopServices>
#include <QMovie>
#include <QUrl>

AdsLabel::AdsLabel(QWidget *parent, Qt::WindowFlags) : QLabel(parent) {}

void AdsLabel::mousePressEvent(QMouseEvent *event)
{
    emit clicked();
    QLabel::mousePressEvent(event);
}

bool showAdInBanner(QMovie *movie, const AdItem &item, AdItem::AdLocation loc)
{
    if (!movie || !item.showsAt(loc))
        return false;
    movie->stop();
    movie->setFileName(item.imageFor(loc));
    movie->start();
    return true;
}

void openAd(const AdItem &item, AdItem::AdLocation loc)
{
    const QString url = item.clickUrl(loc);
    TLOG(QStringLiteral("open ad: ") + url);
    QDesktopServices::openUrl(QUrl(url));
}
