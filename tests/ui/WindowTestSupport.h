#pragma once
// Helpers for the main window, choose dialog and notification tests: printers
// written straight into the store, a fixture that keeps the window away from
// the machine's own CUPS and the network, and reading a list's items.

#include "DialogTestSupport.h"
#include "service/ServiceFixture.h"

#include "storage/Config.h"
#include "storage/PrinterStore.h"
#include "storage/ProtectedFile.h"

#include <QDir>
#include <QIcon>
#include <QImage>
#include <QListWidget>
#include <QSettings>
#include <QStringList>

#include <gtest/gtest.h>

namespace tavrin::test {

inline Printer makePrinter(const QString &name, const QString &ip, bool favourite = false, qint64 time = 0,
                           const QString &mode = QStringLiteral("dirpdf"))
{
    Printer p;
    p.deviceId = config::newGUID();
    p.clientId = QStringLiteral("test-client");
    p.deviceName = name;
    p.deviceIpAddress = ip;
    p.deviceBrandCode = QStringLiteral("05");
    p.deviceModel = QStringLiteral("HP LaserJet Pro M404dn");
    p.colorMode = QStringLiteral("Color");
    p.deviceDocType = mode;
    p.isFav = favourite ? QStringLiteral("Y") : QStringLiteral("N");
    p.m_modified_time = time;
    p.m_ipp_version = QStringLiteral("VERSION 2.0");
    return p;
}

// Replaces the stored list without asking the service.
inline void storePrinters(const QList<Printer> &printers)
{
    Json::Value list(Json::arrayValue);
    for (const Printer &p : printers)
        list.append(p.toJson());
    config::saveSecureJson(printers.isEmpty() ? Json::Value() : list, config::_depP);
}

inline QStringList itemTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Whether a list item shows the given picture.
inline bool showsIcon(const QListWidgetItem *item, const char *resource)
{
    const QSize size(30, 20);
    return item->icon().pixmap(size).toImage() == QIcon(QString::fromLatin1(resource)).pixmap(size).toImage();
}

inline int iniFirstRun()
{
    QSettings ini(config::iniPath(), QSettings::IniFormat);
    return ini.value(QStringLiteral("Common/FirstRun"), -1).toInt();
}

// The windows against the loopback test service, with a printer list of
// their own. CUPS_SERVER points at nothing, so the system queue check fails
// quickly and never creates a queue on this machine's CUPS.
class WindowFixture : public ServiceFixture
{
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(config::binDir));
        config::_depP = config::binDir + QStringLiteral("tester_depP");
        config::_depC = config::binDir + QStringLiteral("tester_depC");
        config::is_first_run = 0;
        config::m_ppdFile = QStringLiteral("/nonexistent/tavrin.ppd");
        qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
        qputenv("USER", "tester");
    }
};

} // namespace tavrin::test
