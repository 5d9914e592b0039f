#pragma once
// Why a job failed: the file name and the error text of a "Fail:" result.

#include <QDialog>
#include <QString>

namespace Ui {
class ErrorDetails;
}

class ErrorDetails : public QDialog
{
    Q_OBJECT
public:
    ErrorDetails(QString msg, QWidget *parent = nullptr);
    ~ErrorDetails() override;

public slots:
    void on_pushButton_clicked();

private:
    Ui::ErrorDetails *ui;
};
