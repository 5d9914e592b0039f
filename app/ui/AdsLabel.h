#pragma once
// The clickable advertisement banner, and what the windows that carry one do
// with it.

#include "cloud/AdItem.h"

#include <QLabel>

class QMovie;

class AdsLabel : public QLabel
{
    Q_OBJECT
public:
    explicit AdsLabel(QWidget *parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// Plays the picture of `item` for place `loc` in a banner's animation when
// the entry may show there (AdItem::showsAt); otherwise the banner keeps what
// it shows. True when the picture was put in.
bool showAdInBanner(QMovie *movie, const AdItem &item, AdItem::AdLocation loc);

// The body of an OpenAd slot: opens the entry's link, or the maker's site, in
// the desktop's browser (AdItem::clickUrl).
void openAd(const AdItem &item, AdItem::AdLocation loc);
