#pragma once
// A gtest fixture for deliveries to the simulated printers: a spool directory
// in the test's own program directory, the tool wrappers (dep1 = ipptool,
// dep4 = cupsfilter) installed in its tool directory, and jobs built the way
// the job worker builds them.

#include "DeliveryFleet.h"
#include "DeliverySupport.h"

#include "delivery/JobAction.h"
#include "storage/Config.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSettings>
#include <QUuid>

namespace deliverytest {

inline const char *kFleetName = "delivery";

class DeliveryPeer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fleet.error().isEmpty()) << fleet.error().toStdString();
        spool = config::binDir + QStringLiteral("tavrin/root");
        ASSERT_TRUE(QDir().mkpath(spool));
        for (const char *tool : {"dep1", "dep4"}) {
            const QString target = config::binDir + QLatin1String(tool);
            QFile::remove(target);
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(TAVRIN_SOURCE_DIR "/tools/wrappers/") + QLatin1String(tool), target));
            ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                          QFileDevice::ExeOther));
        }
        config::ippTool = config::binDir + QStringLiteral("dep1");
    }

    // A spooled document: the PDF the job worker hands over after parsing.
    QString spoolPdf(int pages)
    {
        const QString doc = newDocPath();
        EXPECT_TRUE(makePdf(doc, pages));
        return doc;
    }
    QString newDocPath() const
    {
        return spool + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".tmp");
    }

    // The action as the job worker builds it, with the job's document set.
    JobAction action(const QString &printerName, const QString &mode, const QString &doc,
                     const QString &brand = QString()) const
    {
        Printer p;
        p.deviceId = QStringLiteral("dev-") + printerName;
        p.deviceName = printerName;
        p.deviceIpAddress = fleet.ip(printerName);
        p.deviceDocType = mode;
        p.deviceBrandCode = brand;
        p.deviceModel = QStringLiteral("Model ") + printerName;
        p.m_ipp_version = QStringLiteral("VERSION 2.0");
        JobAction a(doc, p);
        a.job.jobFile = doc;
        a.job.name = QStringLiteral("report.pdf");
        return a;
    }

    // Files left in the spool directory (the job's family must be gone).
    QStringList leftovers() const { return QDir(spool).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    // Successful prints counted for the model so far.
    static int usage(const QString &model)
    {
        QSettings ini(config::iniPath(), QSettings::IniFormat);
        return ini.value(QStringLiteral("ModelUsage/") + model, 0).toInt();
    }

    static QString sha256(const QByteArray &bytes)
    {
        return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }

    DeliveryFleet fleet{QString::fromLatin1(kFleetName)};
    QString spool;
};

} // namespace deliverytest
