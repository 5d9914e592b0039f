#pragma once
// Adding one printer by its address: check it (which also suggests a name),
// then add it under the typed name; an address already in the list leads to
// the overwrite dialog.

#include "ui/MarkTag.h"

#include <QDialog>
#include <QString>

class AddPrinterWorker;
class QMovie;

namespace Ui {
class AddPrinterWindow;
}

class AddPrinterWindow : public QDialog
{
    Q_OBJECT
public:
    // The two texts are not used.
    AddPrinterWindow(QWidget *parent = nullptr, QString = QString(), QString = QString());
    ~AddPrinterWindow() override;

    void markStatus(MarkTag tag, QString text);

    // The four address fields joined by ".", left to right.
    QString address() const;

public slots:
    void checkIP();
    void checkPrinterResult(QString name, QString err);
    void addPrinter();
    void addPrinterResult(QString err);

private:
    void releaseWorker();

    Ui::AddPrinterWindow *ui;
    QMovie *m_statusMovie;
    AddPrinterWorker *m_worker = nullptr; // the current add, at most one
};
