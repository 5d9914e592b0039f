#pragma once
// The borderless advertisement window that comes up now and then in the
// bottom-right corner of the desktop.

#include "cloud/AdItem.h"

#include <QDialog>

namespace Ui {
class AdvertiPeriod;
}
class AdsLabel;
class QDesktopWidget;
class QHBoxLayout;
class QMovie;
class QPushButton;
class QTimer;
class QVBoxLayout;

class AdvertiPeriod : public QDialog
{
    Q_OBJECT
public:
    explicit AdvertiPeriod(QWidget *parent = nullptr);
    ~AdvertiPeriod() override;

    // Takes the next entry for the periodic window. False, with nothing
    // changed on screen, when that entry has no link or no picture for it.
    bool showNextAd();
    const AdItem &currentAd() const { return adItem; }

    // One due showing (the main window's advertisement timer): stops adTimer,
    // creates *window without parent on first use, and either shows the next
    // entry and restarts adTimer with that entry's interval, or hides the
    // window and leaves adTimer stopped for the rest of the run.
    static void popupDue(AdvertiPeriod *&window, QTimer *adTimer);

public slots:
    void OpenAd();

private:
    Ui::AdvertiPeriod *ui;
    AdsLabel *banner;
    QMovie *movie;
    QPushButton *closeButton;
    QHBoxLayout *closeRow;
    QVBoxLayout *overPicture;
    QVBoxLayout *outer;
    QDesktopWidget *desktop;
    AdItem adItem;
    AdItem::AdLocation location = AdItem::PeriodWindow;
};
