#pragma once
// "问题反馈": a problem report or suggestion for the maker, optionally with
// the program's logs, which go to the object storage under the name the
// report carries.

#include "cloud/FeedbackReport.h"

#include <QDialog>

namespace Ui {
class Feedback;
}

class Feedback : public QDialog
{
    Q_OBJECT
public:
    explicit Feedback(QWidget *parent = nullptr);
    ~Feedback() override;

    feedback::Fields fields() const;

public slots:
    // "提交": checks the fields, uploads the logs when asked, sends the report;
    // closes on an answer holding "OK", otherwise says why and stays open.
    void post();
    void cancle();

private slots:
    // A problem asks for the device and the logs by default, a suggestion not.
    void on_comboBox_currentIndexChanged(int index);

private:
    Ui::Feedback *ui;
};
