#include "ui/MessageBoxes.h"

#include "platform/RLog.h"

#include <QIcon>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>

namespace {

void prepare(QMessageBox &box, const QString &title, const QString &text)
{
    box.setIcon(QMessageBox::NoIcon);
    box.setText(text);
    box.setWindowTitle(title);
    box.setWindowIcon(QIcon(QStringLiteral(":/rc/btn_info.png")));
}

void showModal(const QString &title, const QString &text)
{
    QMessageBox box;
    prepare(box, title, text);
    box.exec();
}

bool askYesNo(const QString &text, const QString &title)
{
    QMessageBox box;
    box.setIcon(QMessageBox::NoIcon);
    box.setText(text);
    box.setWindowTitle(title);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QObject::tr("Yes"));
    box.button(QMessageBox::No)->setText(QObject::tr("Cancle"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.setWindowIcon(QIcon(QStringLiteral(":/rc/btn_info.png")));
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

} // namespace

void Warn(QString title, QString text)
{
    TLOG("Warn");
    showModal(title, text);
}

void Hint(QString title, QString text)
{
    TLOG("Hint");
    showModal(title, text);
}

void Hint2(QString text, QString title)
{
    TLOG("Hint2");
    showModal(title.isEmpty() ? QStringLiteral("提示") : title, text);
}

void hint_non_modal(QString title, QString text)
{
    TLOG("not set button text hint_non_modal");
    auto *box = new QMessageBox;
    prepare(*box, title.isEmpty() ? QObject::tr("Tip") : title, text);
    box->setStandardButtons(QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

bool AreYouSure(QString text)
{
    TLOG("chnises hint_non_modal");
    return askYesNo(text, QObject::tr("Tip"));
}

bool AreYouSureTitle(QString text, QString title)
{
    TLOG("yes Or no translated AreYouSureTitle");
    return askYesNo(text, title);
}
