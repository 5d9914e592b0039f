#include "intake/SpoolScan.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <exception>

namespace {

const QLatin1String kDone(".done");

} // namespace

SpoolScan scanSpool(const QString &spoolDir)
{
    SpoolScan scan;
    const QStringList names =
        QDir(spoolDir).entryList(QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QString &name : names) {
        if (!name.endsWith(kDone, Qt::CaseSensitive))
            continue;
        scan.markers.append(spoolDir + QLatin1Char('/') + name);
        scan.jobs.append(spoolDir + QLatin1Char('/') + name.left(name.size() - kDone.size()));
    }
    return scan;
}

QStringList claimJobs(const QString &spoolDir)
{
    QStringList taken;
    try {
        const SpoolScan scan = scanSpool(spoolDir);
        for (int i = 0; i < scan.markers.size(); ++i) {
            // A marker that stays would hand the same job over again at every pass.
            if (QFile::remove(scan.markers[i]) || !QFile::exists(scan.markers[i]))
                taken.append(scan.jobs[i]);
        }
    } catch (const std::exception &e) {
        qDebug() << "exc:" << e.what();
    }
    return taken;
}
