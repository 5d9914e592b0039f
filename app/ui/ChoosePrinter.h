#pragma once
// Asks which registered printer a captured job goes to. The caller runs it
// modally and reads `printer`: a non-empty address means the user confirmed
// that printer, an empty one that the user cancelled.

#include "cloud/AdItem.h"
#include "storage/Printer.h"

#include <QDialog>

class QMovie;

namespace Ui {
class ChoosePrinter;
}

class ChoosePrinter : public QDialog
{
    Q_OBJECT
public:
    explicit ChoosePrinter(QWidget *parent = nullptr);
    ~ChoosePrinter() override;

    Printer printer; // the confirmed printer; empty until then

public slots:
    void cancelPrint();
    void submitPrint();
    void OpenAd();
    void on_listWidget_itemSelectionChanged();
    void on_remButton_clicked();
    void on_addButton_clicked();

private:
    void _refreshList();
    Printer _currentPrinter();
    void _setFavourite(bool favourite);

    Ui::ChoosePrinter *ui;
    QMovie *bannerMovie = nullptr;
    AdItem adItem; // the banner's advertisement
};
