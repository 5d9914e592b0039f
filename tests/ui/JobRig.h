#pragma once
// The job watcher tests' peers (jobrig.py): a private cupsd that runs the
// capture backend for the queue "塔文", and simulated printers. Started once
// per test program; CUPS_SERVER then points lp, lpstat and lpadmin at it.

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <memory>

namespace tavrin::test {

class JobRig
{
public:
    ~JobRig() { stop(); }

    // False, with error(), when the peers did not come up.
    bool start(const QString &fileDir)
    {
        m_process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PYTHONPATH"), QStringLiteral(TAVRIN_SOURCE_DIR "/tests"));
        m_process->setProcessEnvironment(env);
        m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process->start(QStringLiteral("/usr/bin/python3"),
                         {QStringLiteral(TAVRIN_SOURCE_DIR "/tests/ui/jobrig.py"), QStringLiteral("--file-dir"),
                          fileDir, QStringLiteral("--backend"), QStringLiteral(TAVRIN_BINARY_DIR "/backend/kwprint")});
        if (!m_process->waitForStarted(30000)) {
            m_error = QStringLiteral("python3 did not start");
            return false;
        }
        const QJsonObject hello = readLine(180000).object();
        if (hello.isEmpty() || hello.contains(QStringLiteral("error"))) {
            m_error = QStringLiteral("the job rig did not come up: ") +
                      hello.value(QStringLiteral("error")).toString(QStringLiteral("no answer"));
            stop();
            return false;
        }
        m_socket = hello.value(QStringLiteral("cups_socket")).toString();
        m_printers = hello.value(QStringLiteral("printers")).toObject();
        m_silentIp = hello.value(QStringLiteral("silent_ip")).toString();
        qputenv("CUPS_SERVER", m_socket.toLocal8Bit());
        return true;
    }

    void stop()
    {
        if (!m_process)
            return;
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(60000))
            m_process->kill();
        m_process->waitForFinished(5000);
        m_process.reset();
    }

    QString error() const { return m_error; }
    QString ip(const QString &printer) const
    {
        return m_printers.value(printer).toObject().value(QStringLiteral("ip")).toString();
    }
    QString silentIp() const { return m_silentIp; }
    QString socket() const { return m_socket; }

    // The printer's job records of `kind` ("raw" or "ipp"), waiting up to
    // timeoutS for at least `count` of them.
    QJsonArray jobs(const QString &printer, const char *kind, int count = 0, double timeoutS = 0)
    {
        m_process->write(
            QStringLiteral("jobs %1 %2 %3 %4\n").arg(printer, QLatin1String(kind)).arg(count).arg(timeoutS).toUtf8());
        return readLine(int(timeoutS * 1000) + 30000).array();
    }

private:
    QJsonDocument readLine(int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_process->canReadLine()) {
            if (m_process->state() != QProcess::Running || clock.elapsed() > timeoutMs)
                return {};
            m_process->waitForReadyRead(100);
        }
        return QJsonDocument::fromJson(m_process->readLine());
    }

    std::unique_ptr<QProcess> m_process;
    QString m_error;
    QString m_socket;
    QJsonObject m_printers;
    QString m_silentIp;
};

} // namespace tavrin::test
