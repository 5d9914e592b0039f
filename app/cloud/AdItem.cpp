#include "cloud/AdItem.h"

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
    bool ok = false;
    const qlonglong hours = text.trimmed().toLongLong(&ok);
    if (!ok)
        return kMinIntervalHours;
    return static_cast<int>(qBound<qlonglong>(kMinIntervalHours, hours, kMaxIntervalHours));
}
