#pragma once
// "当前版本已经是最新版本！": the answer of a manual update check that found nothing.

#include <QDialog>

namespace Ui {
class LatestWin;
}

class LatestWin : public QDialog
{
    Q_OBJECT
public:
    explicit LatestWin(QWidget *parent = nullptr);
    ~LatestWin() override;

private slots:
    void on_pushButton_clicked();

private:
    Ui::LatestWin *ui;
};
