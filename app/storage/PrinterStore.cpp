#include "storage/PrinterStore.h"

#include "cloud/Itf.h"
#include "storage/Config.h"
#include "storage/ProtectedFile.h"

#include <json/value.h>

#include <mutex>

namespace util {

namespace {

// The add worker and the GUI both rewrite the list: one lock around each
// read-modify-write, held across the service call as well, so that two adds
// of one name cannot both pass the duplicate check. Reads take no lock: the
// file is replaced atomically, so a reader sees the old or the new list.
std::mutex g_storeMutex;

Json::Value loadList()
{
    Json::Value list = config::loadSecureJson(config::_depP);
    return list.isArray() ? list : Json::Value(Json::arrayValue);
}

void saveList(const Json::Value &list)
{
    config::saveSecureJson(list.empty() ? Json::Value() : list, config::_depP);
}

QString entryText(const Json::Value &entry, const char *member)
{
    if (!entry.isObject())
        return QString();
    // Read as Printer::fromJson reads it, so a lookup and a loaded record agree.
    const Json::Value &value = entry[member];
    if (value.isNull() || value.isArray() || value.isObject())
        return QString();
    return QString::fromStdString(value.asString());
}

bool letGo(const QString &reply)
{
    return reply.startsWith(QLatin1String("OK:")) || reply == QLatin1String("FAIL:DeviceNotExist");
}

void replaceById(const QString &deviceId, const Printer &replacement)
{
    std::lock_guard<std::mutex> lock(g_storeMutex);
    const Json::Value list = loadList();
    Json::Value changed(Json::arrayValue);
    for (const Json::Value &entry : list)
        changed.append(entryText(entry, "deviceId") == deviceId ? replacement.toJson() : entry);
    saveList(changed);
}

// Each matching printer is let go by the service under its own identifier, so
// that printers sharing an address do not stay registered there.
void removeWhere(const char *member, const QString &value)
{
    std::lock_guard<std::mutex> lock(g_storeMutex);
    const Json::Value list = loadList();
    Json::Value kept(Json::arrayValue);
    bool matched = false;
    bool removed = false;
    for (const Json::Value &entry : list) {
        if (entryText(entry, member) != value) {
            kept.append(entry);
            continue;
        }
        matched = true;
        if (letGo(Itf::RemoveDevice(entryText(entry, "deviceId").toStdString())))
            removed = true;
        else
            kept.append(entry);
    }
    // Nothing matched: the service is still told, with an empty identifier.
    if (!matched)
        removed = letGo(Itf::RemoveDevice(std::string()));
    if (removed)
        saveList(kept);
}

} // namespace

QList<Printer> getPrinters()
{
    QList<Printer> printers;
    for (const Json::Value &entry : loadList()) {
        if (!entry.isObject())
            continue;
        Printer printer;
        printer.fromJson(entry);
        printers.append(printer);
    }
    return printers;
}

Printer getPrinter(const QString &name)
{
    Printer printer;
    for (const Json::Value &entry : loadList()) {
        if (entryText(entry, "deviceName") == name) {
            printer.fromJson(entry);
            break;
        }
    }
    return printer;
}

bool isPrinterExist(const QString &name, const QString &deviceId)
{
    for (const Json::Value &entry : loadList())
        if (entryText(entry, "deviceName") == name && entryText(entry, "deviceId") != deviceId)
            return true;
    return false;
}

bool isPrinterExistByIP(const QString &ip)
{
    return printerCount(ip) > 0;
}

int printerCount(const QString &ip)
{
    int count = 0;
    for (const Json::Value &entry : loadList())
        if (entryText(entry, "deviceIpAddress") == ip)
            ++count;
    return count;
}

bool addPrinter(const Printer &printer, QString &errorText)
{
    std::lock_guard<std::mutex> lock(g_storeMutex);
    Json::Value list = loadList();
    for (const Json::Value &entry : list) {
        if (entryText(entry, "deviceName") == printer.deviceName) {
            errorText = QStringLiteral("printer already exist");
            return false;
        }
    }
    const QString reply = Itf::AddDevice(printer);
    if (!reply.startsWith(QLatin1String("OK:"))) {
        errorText = reply;
        return false;
    }
    list.append(printer.toJson());
    saveList(list);
    return true;
}

void changePrinter(const Printer &printer)
{
    replaceById(printer.deviceId, printer);
}

void changePrinter(const Printer &oldPrinter, const Printer &newPrinter)
{
    replaceById(oldPrinter.deviceId, newPrinter);
}

void removePrinter(const QString &name)
{
    removeWhere("deviceName", name);
}

void removePrinterByIP(const QString &ip)
{
    removeWhere("deviceIpAddress", ip);
}

} // namespace util
