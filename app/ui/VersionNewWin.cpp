#include "ui/VersionNewWin.h"

#include "ui_VersionNewWin.h"

#include "cloud/DLUpdateWorker.h"
#include "platform/Command.h"
#include "platform/OsInfo.h"
#include "platform/RLog.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

QString VersionNewWin::osReleaseFile = QStringLiteral("/etc/os-release");

VersionNewWin::VersionNewWin(UpdateInfo info, QWidget *parent)
    : QDialog(parent), m_info(std::move(info)), ui(new Ui::VersionNewWin)
{
    ui->setupUi(this);
    ui->label->setText(m_info.note);
    ui->label_2->setText(m_info.forceUpdate ? QStringLiteral("需要将塔文更新到最新版本才可正常使用")
                                            : QStringLiteral("版本更新将会重新下载安装包进行更新"));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

VersionNewWin::~VersionNewWin()
{
    delete ui;
}

void VersionNewWin::on_pushButton_clicked()
{
    ui->pushButton->setEnabled(false);
    ui->pushButton->setText(QStringLiteral("正在下载..."));
    // No parent: the window may close while the download runs.
    auto *worker = new DLUpdateWorker(m_info);
    connect(worker, &DLUpdateWorker::resultReady, this, &VersionNewWin::resultReady);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void VersionNewWin::resultReady(QString debPath)
{
    if (QFileInfo(debPath).isFile() && util::osCurrentSystem(osReleaseFile)) {
        TLOG(QStringLiteral("deepin-deb-installer \"") + debPath + QLatin1Char('"'));
        util::CommandOptions untilItEnds;
        untilItEnds.timeoutMs = -1;
        const util::CommandResult r = util::runCommand(QStringLiteral("deepin-deb-installer"), {debPath}, untilItEnds);
        TLOG(QStringLiteral("installer: ") + r.describe());
    }
    close();
}
