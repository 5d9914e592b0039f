#include "ui/About.h"

#include "ui_About.h"

#include "cloud/AdItem.h"
#include "cloud/UpdateInfo.h"
#include "storage/Config.h"
#include "ui/LatestWin.h"
#include "ui/VersionNewWin.h"

#include <QUrl>

About::About(QWidget *parent) : QDialog(parent), ui(new Ui::About)
{
    ui->setupUi(this);
    setFixedSize(490, 198);
    ui->labelVer->setText(QStringLiteral("版本：%1").arg(config::clientVersion));
    const QString site = QString::fromLatin1(kMakerWebSite);
    ui->label_3->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(site, QUrl(site).host()));
}

About::~About()
{
    delete ui;
}

void About::on_pushButton_clicked()
{
    const UpdateInfo info = util::getUpdateInfo();
    if (info.needUpdate) {
        VersionNewWin win(info, this);
        win.exec();
    } else {
        LatestWin win(this);
        win.exec();
    }
}
