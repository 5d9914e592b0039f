#pragma once
// Search results: runs an SNMP search (no start address) or a range search,
// lists what it finds, and adds the chosen printers through one add worker.

#include "discovery/PrinterItem.h"
#include "ui/MarkTag.h"

#include <QDialog>
#include <QList>
#include <QString>

class QMovie;

namespace Ui {
class SearchWindow;
}

class SearchWindow : public QDialog
{
    Q_OBJECT
public:
    // `start` a full address and `end` the end's last octet for a range
    // search; both empty for the SNMP search. The search starts at once.
    SearchWindow(QWidget *parent, QString start, QString end);
    ~SearchWindow() override;

    void markStatus(MarkTag tag, QString text);

    // Searches started and not yet answered.
    int runningSearches() const { return m_runningSearches; }

public slots:
    void startSearch();
    void showList(QList<PrinterItem> items);
    void postAddPrinter();
    void postAddPrinteresult(QString err);
    void cancelUI();

private:
    Ui::SearchWindow *ui;
    const QString m_start;
    const QString m_end;
    QMovie *m_statusMovie;
    QMovie *m_loadingMovie;
    int m_runningSearches = 0;
};
