#pragma once
// The running fleet of simulated printers, as its state file describes it
// (started by the CTest fixture with tests/fixtures/discovery/fleet.py).

#include <json/reader.h>
#include <json/value.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <memory>

namespace tavrin::test {

struct FleetPrinter {
    QString name;
    QString ip;
    int host = 0;
    bool hasIpp = false;
    Json::Value expect; // brand_code, model, serial, color_mode, doc_type, ipp_version, snmp_backend_lists
    Json::Value snmpObjects;

    QString expected(const char *key) const { return QString::fromStdString(expect[key].asString()); }
    bool expectedFlag(const char *key) const { return expect[key].asBool(); }
};

struct FleetState {
    QString error;
    QString prefix;               // "198.18.N."
    QString broadcast;            // "198.18.N.255"
    QList<FleetPrinter> printers; // in address order

    const FleetPrinter *find(const QString &name) const
    {
        for (const FleetPrinter &p : printers) {
            if (p.name == name)
                return &p;
        }
        return nullptr;
    }
};

inline QString fleetStatePath(const char *name)
{
    QString base = qEnvironmentVariable("TAVRIN_HARNESS_DIR");
    if (base.isEmpty())
        base = QStringLiteral("/tmp/tavrin-harness");
    return base + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral("/state.json");
}

inline FleetState loadFleet(const char *name)
{
    FleetState state;
    QFile file(fleetStatePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        state.error = QStringLiteral("no fleet state at ") + file.fileName();
        return state;
    }
    const QByteArray text = file.readAll();
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(text.constData(), text.constData() + text.size(), &root, &errors)) {
        state.error = QString::fromStdString(errors);
        return state;
    }
    state.prefix = QStringLiteral("198.18.%1.").arg(root["subnet"].asInt());
    state.broadcast = QString::fromStdString(root["broadcast"].asString());
    for (const Json::Value &record : root["printers"]) {
        FleetPrinter p;
        p.name = QString::fromStdString(record["name"].asString());
        p.ip = QString::fromStdString(record["ip"].asString());
        p.host = record["host"].asInt();
        p.hasIpp = record.isMember("ipp") && !record["ipp"].isNull();
        p.expect = record["expect"];
        if (record.isMember("snmp") && !record["snmp"].isNull())
            p.snmpObjects = record["snmp"]["objects"];
        state.printers << p;
    }
    std::sort(state.printers.begin(), state.printers.end(),
              [](const FleetPrinter &a, const FleetPrinter &b) { return a.host < b.host; });
    return state;
}

} // namespace tavrin::test
