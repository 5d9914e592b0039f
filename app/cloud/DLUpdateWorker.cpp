#include "cloud/DLUpdateWorker.h"

#include "cloud/OSSUtil.h"

#include <QDir>
#include <QUuid>

DLUpdateWorker::DLUpdateWorker(UpdateInfo info, QObject *parent) : QThread(parent), m_info(std::move(info)) {}

void DLUpdateWorker::run()
{
    // A random name nobody else can have prepared in the shared directory.
    const QString path = QDir::tempPath() + QStringLiteral("/tavrin-update-") +
                         QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".deb");
    OSSUtil::GetImageFile(m_info.packageName, path);
    emit resultReady(path);
}
