#include "cloud/adsMan.h"

#include "cloud/Itf.h"
#include "cloud/OSSUtil.h"
#include "platform/RLog.h"
#include "storage/Config.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSet>
#include <QUrl>

QMutex adsMan::g_item_mutex;
QList<AdItem> adsMan::_items;

namespace {

const char *const kImageKeys[4] = {"imageName1", "imageName2", "imageName3", "imageName4"};

QString memberText(const Json::Value &entry, const char *key)
{
    const Json::Value &v = entry[key];
    if (v.isNull() || v.isObject() || v.isArray())
        return QString();
    return QString::fromStdString(v.asString());
}

} // namespace

QList<AdEntry> adsMan::parseEntries(const Json::Value &doc)
{
    QList<AdEntry> entries;
    if (!doc.isArray())
        return entries;
    for (const Json::Value &v : doc) {
        if (!v.isObject())
            continue;
        AdEntry e;
        e.adId = memberText(v, "adId");
        e.linkAddress = memberText(v, "linkAddress");
        for (int k = 0; k < 4; ++k)
            e.objectNames[k] = memberText(v, kImageKeys[k]);
        e.hours = memberText(v, "img4Intervals").trimmed();
        entries.append(e);
    }
    return entries;
}

QString adsMan::cacheDir()
{
    return QDir::cleanPath(config::binDir + QStringLiteral("/ads")) + QLatin1Char('/');
}

QString adsMan::cachePath(const QString &objectName)
{
    if (objectName.isEmpty() || objectName == QLatin1String(".") || objectName == QLatin1String(".."))
        return QString();
    return cacheDir() + QString::fromLatin1(QUrl::toPercentEncoding(objectName));
}

void adsMan::RefreshAdsListFromCloud()
{
    const QList<AdEntry> entries = parseEntries(Itf::Advertisement());
    const QString dir = cacheDir();
    if (!entries.isEmpty())
        QDir().mkpath(dir);
    QList<AdItem> fresh;
    for (const AdEntry &e : entries) {
        AdItem item;
        item.adId = e.adId;
        item.linkAddress = e.linkAddress;
        QString local[4];
        for (int k = 0; k < 4; ++k) {
            local[k] = cachePath(e.objectNames[k]);
            if (!local[k].isEmpty())
                OSSUtil::GetImageFile(e.objectNames[k], local[k]);
        }
        QString *fields[4] = {&item.imageName1, &item.imageName2, &item.imageName3, &item.imageName4};
        for (int k = 0; k < 4; ++k) {
            if (!local[k].isEmpty() && QFileInfo(local[k]).isFile())
                *fields[k] = local[k];
        }
        if (!e.hours.isEmpty())
            item.img4Intervals = AdItem::clampHours(e.hours);
        fresh.append(item);
    }

    // The cache keeps exactly the pictures of the list in force: an answer
    // without entries keeps the old list, and with it the old pictures.
    QSet<QString> inUse;
    {
        QMutexLocker lock(&g_item_mutex);
        if (!fresh.isEmpty())
            _items = fresh;
        for (const AdItem &item : qAsConst(_items)) {
            for (const QString &path : {item.imageName1, item.imageName2, item.imageName3, item.imageName4}) {
                if (!path.isEmpty())
                    inUse.insert(QFileInfo(path).fileName());
            }
        }
    }
    TLOG(QStringLiteral("advertisements: %1 in the answer").arg(fresh.size()));

    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        if (!inUse.contains(it.fileName()))
            QFile::remove(it.filePath());
    }
}

AdItem adsMan::GetOne(AdItem::AdLocation loc)
{
    QMutexLocker lock(&g_item_mutex);
    if (_items.isEmpty())
        return AdItem();
    for (int i = 0; i < _items.size(); ++i) {
        if (_items[i].shownAt.value(loc) != 1)
            continue;
        _items[i].shownAt[loc] = 0;
        if (i + 1 < _items.size()) {
            _items[i + 1].shownAt[loc] = 1;
            return _items[i + 1];
        }
        break;
    }
    _items[0].shownAt[loc] = 1;
    return _items[0];
}

QList<AdItem> adsMan::items()
{
    QMutexLocker lock(&g_item_mutex);
    return _items;
}
