#pragma once
// Downloads the update package into the temporary directory on its own
// thread, so the new-version window stays responsive.

#include "cloud/UpdateInfo.h"

#include <QThread>

class DLUpdateWorker : public QThread
{
    Q_OBJECT
public:
    explicit DLUpdateWorker(UpdateInfo info, QObject *parent = nullptr);

signals:
    // The path the package was to be downloaded to; a file is there only
    // when the download worked.
    void resultReady(QString debPath);

protected:
    void run() override;

private:
    const UpdateInfo m_info;
};
