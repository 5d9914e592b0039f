#pragma once
// The simulated printers of the delivery tests (tests/fixtures/delivery/fleet.py,
// started once by the CTest fixture): addresses from the harness's state file,
// received jobs and fault injection through the fixture script, which uses the
// harness's own readers.

#include "platform/Command.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

namespace deliverytest {

struct FleetPrinter {
    QString name;
    QString ip;
};

class DeliveryFleet
{
public:
    explicit DeliveryFleet(const QString &name) : name_(name)
    {
        QString base = qEnvironmentVariable("TAVRIN_HARNESS_DIR");
        if (base.isEmpty())
            base = QStringLiteral("/tmp/tavrin-harness");
        QFile file(base + QLatin1Char('/') + name + QStringLiteral("/state.json"));
        if (!file.open(QIODevice::ReadOnly)) {
            error_ = QStringLiteral("no fleet state at ") + file.fileName();
            return;
        }
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        subnet_ = root.value(QStringLiteral("subnet")).toInt();
        for (const QJsonValue &v : root.value(QStringLiteral("printers")).toArray()) {
            const QJsonObject p = v.toObject();
            printers_.insert(p.value(QStringLiteral("name")).toString(),
                             {p.value(QStringLiteral("name")).toString(), p.value(QStringLiteral("ip")).toString()});
        }
        if (printers_.isEmpty())
            error_ = QStringLiteral("fleet state without printers: ") + file.fileName();
    }

    const QString &error() const { return error_; }
    QString ip(const QString &printer) const { return printers_.value(printer).ip; }
    // An address of the fleet's network where nothing answers.
    QString silentIp() const { return QStringLiteral("198.18.%1.99").arg(subnet_); }

    // Job records (oldest first), waiting up to timeoutS for at least count.
    QJsonArray jobs(const QString &printer, const char *kind, int count = 0, double timeoutS = 30) const
    {
        return run({QStringLiteral("jobs"), QStringLiteral("--printer"), printer, QStringLiteral("--kind"),
                    QString::fromLatin1(kind), QStringLiteral("--count"), QString::number(count),
                    QStringLiteral("--timeout"), QString::number(timeoutS)})
            .array();
    }
    bool clear(const QString &printer) const
    {
        return run({QStringLiteral("clear"), QStringLiteral("--printer"), printer}).isObject();
    }
    bool setRaw(const QString &printer, const QString &mode, int after = 0) const
    {
        return run({QStringLiteral("set-raw"), QStringLiteral("--printer"), printer, QStringLiteral("--mode"), mode,
                    QStringLiteral("--after"), QString::number(after)})
            .isObject();
    }
    bool setRefusals(const QString &printer, int count) const
    {
        return run({QStringLiteral("set-refusals"), QStringLiteral("--printer"), printer, QStringLiteral("--count"),
                    QString::number(count)})
            .isObject();
    }
    bool setBusyJobs(const QString &printer, int count) const
    {
        return run({QStringLiteral("set-busy"), QStringLiteral("--printer"), printer, QStringLiteral("--count"),
                    QString::number(count)})
            .isObject();
    }
    int queries(const QString &printer) const
    {
        return run({QStringLiteral("queries"), QStringLiteral("--printer"), printer})
            .object()
            .value(QStringLiteral("queries"))
            .toInt(-1);
    }

private:
    QJsonDocument run(QStringList args) const
    {
        args = QStringList{QStringLiteral(TAVRIN_SOURCE_DIR "/tests/fixtures/delivery/fleet.py"), args.takeFirst(),
                           QStringLiteral("--name"), name_} +
               args;
        util::CommandOptions options;
        options.mergeStderr = false;
        options.timeoutMs = 120000;
        const util::CommandResult r = util::runCommand(QStringLiteral("/usr/bin/python3"), args, options);
        if (!r.ok())
            return {};
        return QJsonDocument::fromJson(r.output.toUtf8());
    }

    QString name_;
    QString error_;
    int subnet_ = 0;
    QMap<QString, FleetPrinter> printers_;
};

inline QString attr(const QJsonValue &record, const char *name)
{
    return record.toObject().value(QStringLiteral("attributes")).toObject().value(QLatin1String(name)).toString();
}

inline QString field(const QJsonValue &record, const char *name)
{
    return record.toObject().value(QLatin1String(name)).toVariant().toString();
}

} // namespace deliverytest
