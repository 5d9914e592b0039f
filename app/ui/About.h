#pragma once
// "关于我们": product, version, the maker's site, and the manual update check.

#include <QDialog>

namespace Ui {
class About;
}

class About : public QDialog
{
    Q_OBJECT
public:
    explicit About(QWidget *parent = nullptr);
    ~About() override;

private slots:
    // "检查更新": the new-version window or LatestWin; never touches gFatalError.
    void on_pushButton_clicked();

private:
    Ui::About *ui;
};
