#pragma once
// Who made a printer and what it is called, from its SNMP agent through dep2
// (an SNMP v1 get, community "public"). This file holds the one table of
// brand codes.

#include <QString>

#include <functional>

namespace util {

// The SNMP agent of one printer, asked one object at a time. Once an agent
// has not answered at all (dep2 gave up after its own retries), later gets
// return empty at once instead of waiting out the same silence again.
class SnmpAgent
{
public:
    explicit SnmpAgent(const QString &ip) : m_ip(ip) {}
    QString get(const QString &oid);
    bool silent() const { return m_silent; }

private:
    QString m_ip;
    bool m_silent = false;
};

// dep2's standard output for one get, untrimmed; empty when `ip` is not a
// dotted IPv4 address (dep2 is then not run).
QString snmpGetOIDRaw(QString ip, QString oid);

// The brand code from a sysObjectID answer as dep2 prints it ("iso.3.6.1.4.1.…").
// `sysDescr` is asked only by the rows that look for a marker word; `lexmarkMark`
// is set for a Pantum identified through the Lexmark enterprise number.
QString brandCodeFor(const QString &sysObjectId, const std::function<QString()> &sysDescr, bool &lexmarkMark);
QString snmpGetBrandCode(QString ip, bool &lexmarkMark);
QString snmpGetBrandCode(SnmpAgent &agent, bool &lexmarkMark);

// The object that holds the serial number for this brand.
QString serialNumberOid(const QString &brandCode, bool lexmarkMark);
QString snmpGetSerialNo(QString brandCode, QString ip, bool lexmarkMark);
QString snmpGetSerialNo(const QString &brandCode, SnmpAgent &agent, bool lexmarkMark);

// The first usable answer of the Printer-MIB name, sysName and sysDescr.
QString snnpGetModelName(QString ip);
QString snnpGetModelName(SnmpAgent &agent);

// An SNMP string answer without its quotes and surrounding blanks.
QString unquoteSnmpString(const QString &raw);

} // namespace util

// A model name answer cleaned, or empty for "(none)" and for a hexadecimal dump.
QString washSnmpModelName(QString raw);

// True exactly for the Pantum brand code "18".
bool is_pantum(const QString &brandCode);
