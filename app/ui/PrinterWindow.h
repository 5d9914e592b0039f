#pragma once
// The program's central object: the device-management window, the tray icon
// and its menu, the timers that drive job intake and the cloud refresh, the
// job watcher and the notification window.

#include "cloud/AdItem.h"
#include "storage/Printer.h"

#include <QDialog>
#include <QString>
#include <QSystemTrayIcon>

class Popup;
class QAction;
class QCloseEvent;
class QFileSystemWatcher;
class QListWidgetItem;
class QMenu;
class QMovie;
class QSplashScreen;
class QTimer;
class AdvertiPeriod;
class WorkerThread;

namespace Ui {
class PrinterWindow;
}

namespace ui {
// The supported-model page on the service's host: https://<host>[:port]/tavrin/queryModel.jsp.
QString modelQueryUrl(const QString &serviceBaseUrl);
} // namespace ui

class PrinterWindow : public QDialog
{
    Q_OBJECT
public:
    PrinterWindow(QSplashScreen *splash, QWidget *parent = nullptr);
    ~PrinterWindow() override;

    void showMainWin();
    void createTrayIcon();
    void setProperty();
    // Starts one worker for the job; the worker deletes itself when done.
    void printJobToDevice(QString docPath, Printer printer);
    // Whether a marker starts a pass at once (on by default) or waits for the job timer.
    void setSpoolWatching(bool on);

    QSystemTrayIcon *tray() const { return trayIcon; }
    QMenu *menu() const { return trayMenu; }
    Popup *notification() const { return popup; }
    QString spoolDirectory() const { return spoolDir; }

signals:
    // A worker was started for docPath (the bench and the tests watch this).
    void jobStarted(QString docPath, QString printerName);

public slots:
    void menuAbout();
    void menuFeedback();
    void menuExit();
    void menuActive(QSystemTrayIcon::ActivationReason reason);
    void showProp();
    void openSearch();
    void refreshList();
    void deletePrinter();
    void OpenAd();
    void receivedJob();
    void refreshFromCloud();
    void popupAdPeriod();
    void showPopup(QString msg);
    void listItemChanged(QListWidgetItem *current, QListWidgetItem *previous);
    void on_addFreqUsedBtn_clicked();
    void on_rmFreqUsedBtn_clicked();
    void on_listWidget_itemSelectionChanged();
    void on_printerModelBtn_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString currentName() const;
    void setFavourite(bool favourite);
    void watchSpool();
    void spoolChanged();
    void handleJob(const QString &docPath, const QList<Printer> &printers);

    Ui::PrinterWindow *ui;
    QSystemTrayIcon *trayIcon = nullptr;
    QMenu *trayMenu = nullptr;
    QAction *aboutAction = nullptr;
    QAction *feedbackAction = nullptr;
    QAction *manageAction = nullptr;
    QAction *exitAction = nullptr;
    Popup *popup = nullptr;
    QString spoolDir;
    QTimer *jobTimer = nullptr;
    QTimer *cloudTimer = nullptr;
    QMovie *bannerMovie = nullptr;
    AdItem adItem;                         // the banner's advertisement
    AdvertiPeriod *periodWindow = nullptr; // the periodic advertisement window, made on first use
    QTimer *adTimer = nullptr;

    // The spool directory is also watched, so that a pass runs as soon as a
    // marker appears; the job timer stays as the fallback. A change noticed
    // during a pass (whose dialogs run nested event loops) runs one more pass
    // right after it instead of a second pass inside the first.
    QFileSystemWatcher *spoolWatcher = nullptr;
    QTimer *kickTimer = nullptr;
    bool watching = true;
    bool inPass = false;
    bool passPending = false;
};
