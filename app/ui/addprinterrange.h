#pragma once
// Entry of an address range for the search: a start address and the last
// octet of the end address, which shares the start's first three octets.

#include <QDialog>
#include <QString>

class QIntValidator;
class QLineEdit;

namespace Ui {
class addprinterrange;
}

class addprinterrange : public QDialog
{
    Q_OBJECT
public:
    explicit addprinterrange(QWidget *parent = nullptr);
    ~addprinterrange() override;

    // Set only by a confirmed range; empty when the dialog was cancelled.
    QString startAddress() const { return m_start; }
    QString endOctet() const { return m_end; }

public slots:
    void on_okBtn_clicked();
    void on_cancelBtn_clicked();
    void on_editStart_textChanged(const QString &text);
    void on_editStart_2_textChanged(const QString &text);
    void on_editStart_3_textChanged(const QString &text);
    void on_editEnd_textEdited(const QString &text);

private:
    Ui::addprinterrange *ui;
    QIntValidator *m_octetValidator;
    QString m_start;
    QString m_end;
};
