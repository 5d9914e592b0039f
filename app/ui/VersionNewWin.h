#pragma once
// The new-version window: says which version is offered and whether it is
// forced, downloads the package on request and hands it to the desktop's
// package installer on UOS.

#include "cloud/UpdateInfo.h"

#include <QDialog>

namespace Ui {
class VersionNewWin;
}

class VersionNewWin : public QDialog
{
    Q_OBJECT
public:
    VersionNewWin(UpdateInfo info, QWidget *parent = nullptr);
    ~VersionNewWin() override;

    // The os-release file that decides whether the installer runs.
    static QString osReleaseFile;

public slots:
    // A download ended; debPath holds the package only when it worked.
    void resultReady(QString debPath);

private slots:
    void on_pushButton_clicked();

private:
    UpdateInfo m_info;
    Ui::VersionNewWin *ui;
};
