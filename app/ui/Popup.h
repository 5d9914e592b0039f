#pragma once
// The job notification in the bottom-right corner: collects the results since
// it was last closed, shows one at a time, and closes itself 20 seconds after
// its last change.

#include "cloud/AdItem.h"
#include <QDialog>
#include <QString>
#include <QVector>

class QMovie;
class QTimer;

namespace Ui {
class Popup;
}

extern const int POPUP_WIDTH;   // 400
extern const int POPUP_HEIGHT;  // 176
extern const int POPUP_TIMEOUT; // 20 (seconds)

class Popup : public QDialog
{
    Q_OBJECT
public:
    explicit Popup(QWidget *parent = nullptr);
    ~Popup() override;

    // Appends a result ("OK", "Fail:<name>:<error>" or a notice) and shows it.
    void pushMessage(QString msg);

    int currentIndex() const { return current; }
    int messageCount() const { return messages.size(); }

public slots:
    void movePrev();
    void moveNext();
    void closeMe();
    void OpenAd();
    void on_pushButton_clicked();
    void on_btnError_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void display();

    bool dragging = false;
    int dragOffsetX = 0;
    int dragOffsetY = 0;
    int current = 0;
    QVector<QString> messages;
    QTimer *closeTimer = nullptr;
    QMovie *bannerMovie = nullptr;
    AdItem adItem; // the banner's advertisement
    Ui::Popup *ui;
};
