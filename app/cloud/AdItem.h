#pragma once
// One advertisement of the service, with the local pictures for the four
// places where advertisements show and its rotation marks.

#include <QMap>
#include <QMetaType>
#include <QString>

// The maker's web site: opened by clicks on advertisements without a usable
// link and linked from the About dialog.
extern const char kMakerWebSite[];

class AdItem
{
public:
    enum AdLocation { MainWindowBanner = 0, ChooserBanner = 1, PopupBanner = 2, PeriodWindow = 3 };

    // The periodic window's interval, in hours, is kept within what a QTimer
    // can take in milliseconds (596 h is the last whole hour below 2^31 ms).
    static constexpr int kMinIntervalHours = 1;
    static constexpr int kMaxIntervalHours = 596;

    AdItem();

    QString adId;
    QString imageName1; // MainWindowBanner
    QString imageName2; // ChooserBanner
    QString imageName3; // PopupBanner
    QString linkAddress;
    QString imageName4; // PeriodWindow
    int img4Intervals = 4;
    QMap<AdLocation, int> shownAt; // 1 at the place where this entry was handed out last

    // The picture field of a place.
    QString imageFor(AdLocation loc) const;
    // Whether a banner at `loc` replaces what it shows with this entry: the
    // notification needs only its picture, the others a link as well.
    bool showsAt(AdLocation loc) const;
    // What a click at `loc` opens: the link, or the maker's site when the
    // entry cannot show there (the notification: when it has no link).
    QString clickUrl(AdLocation loc) const;
    // img4Intervals in milliseconds, for the advertisement timer.
    int intervalMs() const;

    // Hours as the service sends them (" 2 ", "abc", "-1", "100000") to a
    // usable interval: blanks trimmed, text that is no number counts as 0,
    // and the result is clamped to [kMinIntervalHours, kMaxIntervalHours].
    static int clampHours(const QString &text);
};

Q_DECLARE_METATYPE(AdItem)
