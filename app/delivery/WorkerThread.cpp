#include "delivery/WorkerThread.h"

#include "delivery/JobAction.h"
#include "platform/RLog.h"

WorkerThread::WorkerThread(const QString &docPath, const Printer &printer, QObject *parent)
    : QThread(parent), m_docPath(docPath), m_printer(printer)
{
}

QString WorkerThread::failureText(const QString &jobName, const QString &error)
{
    return QStringLiteral("Fail:%1:%2").arg(jobName, error);
}

void WorkerThread::run()
{
    JobAction action(m_docPath, m_printer);
    action.uri.clear();
    action.job = action._parseCtrl(action.path + QStringLiteral(".ctrl"));
    action.job.jobFile = action.path;
    action.uri = QStringLiteral("ipp://") + m_printer.deviceIpAddress + QStringLiteral("/ipp/print");

    QString result = QStringLiteral("OK");
    if (action.print()) {
        TLOG("print ok");
    } else {
        TLOG("print failed");
        result = failureText(action.job.name, action.lastError);
    }
    emit resultReady(result);
}
