#include "ui/Feedback.h"

#include "ui_Feedback.h"

#include "cloud/Itf.h"
#include "cloud/OSSUtil.h"
#include "platform/RLog.h"
#include "storage/Config.h"
#include "ui/MessageBoxes.h"

#include <QDateTime>
#include <QFile>

Feedback::Feedback(QWidget *parent) : QDialog(parent), ui(new Ui::Feedback)
{
    ui->setupUi(this);
    connect(ui->postButton, &QPushButton::clicked, this, &Feedback::post);
    connect(ui->closeButton, &QPushButton::clicked, this, &Feedback::cancle);
}

Feedback::~Feedback()
{
    delete ui;
}

feedback::Fields Feedback::fields() const
{
    feedback::Fields f;
    f.description = ui->plainTextEdit->toPlainText();
    f.type = ui->comboBox->currentIndex() == 0 ? feedback::Issue : feedback::Suggestion;
    f.deviceInfo = ui->deviceEdit->text();
    f.contactInfo = ui->contactEdit->text();
    f.emailInfo = ui->emailEdit->text();
    return f;
}

void Feedback::on_comboBox_currentIndexChanged(int index)
{
    ui->checkBox->setChecked(index == 0);
    ui->deviceStar->setVisible(index == 0);
}

void Feedback::post()
{
    const feedback::Fields f = fields();
    const QString problem = feedback::inputError(f);
    if (!problem.isEmpty()) {
        Hint2(problem, QString());
        return;
    }

    const QString name = feedback::archiveName(config::clientId, QDateTime::currentDateTime());
    const QString path = QStringLiteral("/tmp/") + name;
    if (ui->checkBox->isChecked() && feedback::packLogs(path, config::fileDir + QStringLiteral("/logs"))) {
        OSSUtil::UploadLogFile(config::clientId, path, name);
        QFile::remove(path);
    }

    const QString reply = Itf::Feedback(feedback::payload(f, name).toStyledString());
    TLOG(QStringLiteral("feedback: ") + reply);
    if (reply.contains(QLatin1String("OK"))) {
        accept();
        return;
    }
    Hint2(QStringLiteral("您的反馈提交失败，详细信息（%1）").arg(reply), QString());
}

void Feedback::cancle()
{
    reject();
}
