// The job watcher: one pass takes the finished jobs of the user's spool
// directory, picks a printer for each (asking when there is a choice) and
// hands each job to a worker of its own.

#include "ui/PrinterWindow.h"
#include "ui/UpdateChecks.h"

#include "cloud/UpdateInfo.h"
#include "delivery/WorkerThread.h"
#include "intake/JobFiles.h"
#include "intake/SpoolScan.h"
#include "platform/RLog.h"
#include "storage/PrinterStore.h"
#include "ui/ChoosePrinter.h"
#include "ui/MessageBoxes.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <memory>

void PrinterWindow::receivedJob()
{
    // The dialogs of a pass run nested event loops; a pass asked for
    // meanwhile runs right after this one instead of inside it.
    if (inPass) {
        passPending = true;
        return;
    }
    inPass = true;
    jobTimer->stop();
    watchSpool();

    const QStringList jobs = claimJobs(spoolDir);
    if (!jobs.isEmpty()) {
        if (!gFatalError.isEmpty()) {
            if (util::forcedUpdatePending()) {
                remindForcedUpdate(this);
            } else {
                showPopup(gFatalError);
            }
        }
        const QList<Printer> printers = util::getPrinters();
        if (printers.isEmpty()) {
            Hint(QStringLiteral("提示"), QStringLiteral("打印机列表为空，请先进入面板添加打印机！"));
            showNormal();
            raise();
            activateWindow();
            for (const QString &job : jobs)
                cleanJob(job);
        } else {
            for (const QString &job : jobs)
                handleJob(job, printers);
        }
    }

    inPass = false;
    jobTimer->start(1000);
    if (passPending) {
        passPending = false;
        kickTimer->start();
    }
}

void PrinterWindow::handleJob(const QString &docPath, const QList<Printer> &printers)
{
    if (printers.size() == 1) {
        printJobToDevice(docPath, printers.first());
        return;
    }
    Printer chosen;
    {
        auto dialog = std::make_unique<ChoosePrinter>(nullptr);
        dialog->exec();
        chosen = dialog->printer;
        refreshList();
        if (chosen.deviceIpAddress.isEmpty()) {
            TLOG("cancel print");
            cleanJob(docPath);
            return;
        }
    }
    printJobToDevice(docPath, chosen);
}

void PrinterWindow::printJobToDevice(QString docPath, Printer printer)
{
    auto *worker = new WorkerThread(docPath, printer);
    connect(worker, &WorkerThread::resultReady, this, &PrinterWindow::showPopup);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    emit jobStarted(docPath, printer.deviceName);
}

void PrinterWindow::setSpoolWatching(bool on)
{
    watching = on;
    if (!on && !spoolWatcher->directories().isEmpty())
        spoolWatcher->removePaths(spoolWatcher->directories());
    watchSpool();
}

// The directory appears with the user's first job and may be re-created, so
// every pass makes sure it is watched; until then the job timer alone finds jobs.
void PrinterWindow::watchSpool()
{
    if (!watching || spoolWatcher->directories().contains(spoolDir))
        return;
    if (QFileInfo(spoolDir).isDir())
        spoolWatcher->addPath(spoolDir);
}

void PrinterWindow::spoolChanged()
{
    // Several changes in a row (document, control file, marker) make one pass.
    kickTimer->start();
}
