#pragma once
// Delivers one claimed job on a thread of its own and reports the result
// string: "OK", or "Fail:" + job name + ":" + the delivery's error text.

#include "storage/Printer.h"

#include <QString>
#include <QThread>

class WorkerThread : public QThread
{
    Q_OBJECT
public:
    // Copies the document path and the chosen printer.
    WorkerThread(const QString &docPath, const Printer &printer, QObject *parent = nullptr);

    // "Fail:%1:%2" filled in one pass, so "%" in the name or error stays as it is.
    static QString failureText(const QString &jobName, const QString &error);

signals:
    void resultReady(QString result);

protected:
    void run() override;

private:
    const QString m_docPath;
    const Printer m_printer;
};
