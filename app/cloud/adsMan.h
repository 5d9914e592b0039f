#pragma once
// The advertisement list: fetched from the service, pictures cached under
// binDir/ads/, handed out in turn per place. GUI thread in the program; the
// list itself is guarded so that any thread may read it.

#include "cloud/AdItem.h"

#include <json/value.h>

#include <QList>
#include <QMutex>
#include <QString>

// One entry of the service's answer before its pictures are fetched.
struct AdEntry {
    QString adId;
    QString linkAddress;
    QString objectNames[4]; // imageName1..4; empty: no picture for that place
    QString hours;          // img4Intervals as text, trimmed; empty when absent
};

class adsMan
{
public:
    // Asks the service for the list, downloads every picture into the cache
    // directory, replaces the list unless the answer held no entry, and removes
    // cached files that no entry of the answer uses.
    static void RefreshAdsListFromCloud();

    // The next entry for `loc`, round robin per place; a default AdItem when
    // the list is empty.
    static AdItem GetOne(AdItem::AdLocation loc);

    // The entries of an answer. Elements that are not objects are skipped;
    // members are read as text (null, objects and arrays as empty).
    static QList<AdEntry> parseEntries(const Json::Value &doc);

    // The local file for an object name, or empty for a name that cannot be
    // one ("", ".", ".."). Names are percent-encoded so that a name with "/"
    // stays a file of the cache directory.
    static QString cachePath(const QString &objectName);
    static QString cacheDir(); // binDir + "ads/"

    // A copy of the current list, rotation marks included.
    static QList<AdItem> items();

private:
    // Refreshes replace the list while banners ask for their next entry.
    static QMutex g_item_mutex;
    static QList<AdItem> _items;
};
