#include "cloud/AdItem.h"

#include <QRegularExpression>
#include <QtGlobal>

const char kMakerWebSite[] = "https://www.kestrelware.com/";

AdItem::AdItem()
{
    for (AdLocation loc : {MainWindowBanner, ChooserBanner, PopupBanner, PeriodWindow})
        shownAt.insert(loc, 0);
}

QString AdItem::imageFor(AdLocation loc) const
{
    switch (loc) {
    case MainWindowBanner:
        return imageName1;
    case ChooserBanner:
        return imageName2;
    case PopupBanner:
        return imageName3;
    case PeriodWindow:
        return imageName4;
    }
    return QString();
}

bool AdItem::showsAt(AdLocation loc) const
{
    if (imageFor(loc).isEmpty())
        return false;
    return loc == PopupBanner || !linkAddress.isEmpty();
}

QString AdItem::clickUrl(AdLocation loc) const
{
    if (loc == PopupBanner)
        return linkAddress.isEmpty() ? QString::fromLatin1(kMakerWebSite) : linkAddress;
    return showsAt(loc) ? linkAddress : QString::fromLatin1(kMakerWebSite);
}

int AdItem::intervalMs() const
{
    return qBound(kMinIntervalHours, img4Intervals, kMaxIntervalHours) * 3600000;
}

int AdItem::clampHours(const QString &text)
{
    const QString digits = text.trimmed();
    bool ok = false;
    const qlonglong hours = digits.toLongLong(&ok);
    if (ok)
        return static_cast<int>(qBound<qlonglong>(kMinIntervalHours, hours, kMaxIntervalHours));
    // A whole number too large for 64 bits still means "very long".
    static const QRegularExpression huge(QStringLiteral("^\\+?[0-9]+$"));
    return huge.match(digits).hasMatch() ? kMaxIntervalHours : kMinIntervalHours;
}
