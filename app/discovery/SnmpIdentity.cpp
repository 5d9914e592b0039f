#include "discovery/SnmpIdentity.h"

#include "discovery/Address.h"
#include "discovery/NetworkText.h"
#include "platform/Command.h"
#include "platform/RLog.h"
#include "platform/TextUtil.h"
#include "storage/Config.h"

#include <QRegularExpression>

#include <QStringList>
#include <algorithm>

namespace util {
namespace {

const char kSysDescr[] = "1.3.6.1.2.1.1.1.0";
const char kSysObjectId[] = "1.3.6.1.2.1.1.2.0";
const char kSysName[] = "1.3.6.1.2.1.1.5.0";
const char kPrtGeneralPrinterName[] = "1.3.6.1.2.1.43.5.1.1.16.1";

enum class Marker { None, Aurora, Pantm };

struct BrandRow {
    const char *prefix;
    const char *code;
    Marker marker;
    const char *markedCode; // the code when sysDescr holds the marker word
};

// First matching prefix wins, so a longer enterprise number that starts with
// an earlier row's digits belongs to that row.
const BrandRow kBrands[] = {
    {"iso.3.6.1.4.1.1129", "01", Marker::None, nullptr}, // Toshiba
    {"iso.3.6.1.4.1.1602", "02", Marker::None, nullptr}, // Canon
    {"iso.3.6.1.4.1.253", "03", Marker::None, nullptr},  // Xerox
    {"iso.3.6.1.4.1.297", "03", Marker::None, nullptr},  // Fuji Xerox
    {"iso.3.6.1.4.1.1347", "04", Marker::None, nullptr}, // Kyocera
    {"iso.3.6.1.4.1.11", "05", Marker::None, nullptr},   // HP
    {"iso.3.6.1.4.1.367", "06", Marker::None, nullptr},  // Ricoh
    {"iso.3.6.1.4.1.18334", "08", Marker::Aurora, "13"}, // Konica Minolta
    {"iso.3.6.1.4.1.2385", "09", Marker::None, nullptr}, // Sharp
    {"iso.3.6.1.4.1.236", "10", Marker::None, nullptr},  // Samsung
    {"iso.3.6.1.4.1.641", "11", Marker::Pantm, "18"},    // Lexmark; Pantum under Lexmark's number
    {"iso.3.6.1.4.1.24807", "14", Marker::None, nullptr},
    {"iso.3.6.1.4.1.2435", "15", Marker::None, nullptr},  // Brother
    {"iso.3.6.1.4.1.1248", "16", Marker::None, nullptr},  // Epson
    {"iso.3.6.1.4.1.40093", "18", Marker::None, nullptr}, // Pantum
    {"iso.3.6.1.4.1.45581", "20", Marker::None, nullptr},
};

} // namespace

QString SnmpAgent::get(const QString &oid)
{
    if (m_silent)
        return QString();
    if (!isIPv4Address(m_ip)) {
        TLOG(QStringLiteral("not an IPv4 address, no SNMP get: ") + m_ip);
        m_silent = true;
        return QString();
    }
    CommandOptions options;
    options.mergeStderr = false;
    const CommandResult r =
        runCommand(config::binDir + QStringLiteral("dep2"),
                   {QStringLiteral("-v"), QStringLiteral("1"), QStringLiteral("-c"), QStringLiteral("public"), m_ip,
                    oid, QStringLiteral("-O"), QStringLiteral("vq")},
                   options);
    TLOG(QStringLiteral("dep2 (snmp) result: ") + r.output);
    TLOG(QStringLiteral("dep2 (snmp) error: ") + r.errorOutput);
    m_silent = !r.started || r.timedOut ||
               (r.exitCode != 0 && r.output.isEmpty() && r.errorOutput.contains(QLatin1String("No Response")));
    return r.output;
}

QString snmpGetOIDRaw(QString ip, QString oid)
{
    return SnmpAgent(ip).get(oid);
}

QString brandCodeFor(const QString &sysObjectId, const std::function<QString()> &sysDescr, bool &lexmarkMark)
{
    lexmarkMark = false;
    for (const BrandRow &row : kBrands) {
        if (!sysObjectId.startsWith(QLatin1String(row.prefix)))
            continue;
        if (row.marker == Marker::None)
            return QString::fromLatin1(row.code);
        const QString descr = sysDescr ? sysDescr() : QString();
        const bool marked =
            descr.contains(row.marker == Marker::Aurora ? QLatin1String("Aurora") : QLatin1String("Pantm"));
        if (!marked)
            return QString::fromLatin1(row.code);
        lexmarkMark = row.marker == Marker::Pantm;
        return QString::fromLatin1(row.markedCode);
    }
    return QStringLiteral("00");
}

QString snmpGetBrandCode(SnmpAgent &agent, bool &lexmarkMark)
{
    lexmarkMark = false;
    const QString objectId = agent.get(QLatin1String(kSysObjectId));
    return brandCodeFor(
        objectId, [&agent] { return agent.get(QLatin1String(kSysDescr)); }, lexmarkMark);
}

QString snmpGetBrandCode(QString ip, bool &lexmarkMark)
{
    SnmpAgent agent(ip);
    return snmpGetBrandCode(agent, lexmarkMark);
}

QString serialNumberOid(const QString &brandCode, bool lexmarkMark)
{
    if (brandCode.startsWith(QLatin1String("16")))
        return QStringLiteral("1.3.6.1.4.1.1248.1.2.2.1.1.1.5.1");
    if (brandCode.startsWith(QLatin1String("18")))
        return lexmarkMark ? QStringLiteral("1.3.6.1.4.1.641.2.1.2.1.6.1") : QStringLiteral("1.3.6.1.4.1.40093.6.1.2");
    if (brandCode.startsWith(QLatin1String("14")))
        return QStringLiteral("1.3.6.1.4.1.24807.1.2.2.1.1.2.1.2.1");
    return QStringLiteral("1.3.6.1.2.1.43.5.1.1.17.1");
}

QString snmpGetSerialNo(const QString &brandCode, SnmpAgent &agent, bool lexmarkMark)
{
    return cleanNetworkText(unquoteSnmpString(agent.get(serialNumberOid(brandCode, lexmarkMark))));
}

QString snmpGetSerialNo(QString brandCode, QString ip, bool lexmarkMark)
{
    SnmpAgent agent(ip);
    return snmpGetSerialNo(brandCode, agent, lexmarkMark);
}

QString snnpGetModelName(SnmpAgent &agent)
{
    for (const char *oid : {kPrtGeneralPrinterName, kSysName, kSysDescr}) {
        const QString name = washSnmpModelName(agent.get(QLatin1String(oid)));
        if (!name.isEmpty())
            return name;
    }
    return QString();
}

QString snnpGetModelName(QString ip)
{
    SnmpAgent agent(ip);
    return snnpGetModelName(agent);
}

QString unquoteSnmpString(const QString &raw)
{
    // dep2 writes a quote inside a string as \" ; the quote goes with the others.
    QString text = raw;
    text.replace(QLatin1String("\\\""), QLatin1String("\""));
    text.remove(QLatin1Char('"'));
    return text.trimmed();
}

} // namespace util

QString washSnmpModelName(QString raw)
{
    const QString text = util::unquoteSnmpString(raw);
    if (util::iequals(text, QStringLiteral("(none)")))
        return QString();
    // dep2 breaks a long dump after every 16 bytes, so the pieces are split at
    // any run of blanks, line breaks included.
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList pieces = text.split(blanks);
    if (pieces.size() > 5 && std::all_of(pieces.begin(), pieces.end(), [](const QString &p) { return p.size() == 2; }))
        return QString();
    return util::cleanNetworkText(text);
}

bool is_pantum(const QString &brandCode)
{
    return brandCode == QLatin1String("18");
}
