// The four workers end to end against the simulated printers, the CUPS SNMP
// backend pointed at the fleet's network, and the loopback test service that
// accepts or refuses added printers. Results travel through queued
// connections into this thread, as they reach a dialog.

#include "discovery/AddPrinterWorker.h"
#include "discovery/CheckPrinterWorker.h"
#include "discovery/RangeSearchWorker.h"
#include "discovery/SNMPSearchWorker.h"
#include "storage/PrinterStore.h"

#include "DiscoveryTestSupport.h"
#include "DiscoveryTools.h"
#include "FleetState.h"
#include "WorkerRun.h"
#include "service/ServiceFixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <ostream>

inline void PrintTo(const PrinterItem &item, std::ostream *os)
{
    *os << '{' << item.name.toStdString() << ", " << item.ip.toStdString() << '}';
}

namespace {

using namespace tavrin::test;

const char kHrDeviceDescr[] = "1.3.6.1.2.1.25.3.2.1.3.1";

class WorkersPeerTest : public ServiceFixture
{
protected:
    static void SetUpTestSuite()
    {
        ServiceFixture::SetUpTestSuite();
        s_fleet = loadFleet("discovery");
    }

    void SetUp() override
    {
        ServiceFixture::SetUp();
        ASSERT_TRUE(s_fleet.error.isEmpty()) << s_fleet.error.toStdString();
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(installTools());
        config::_depP = m_dir.filePath(QStringLiteral("alice_depP"));
        config::clientId = QStringLiteral("c0ffee00-0000-4000-8000-0000000000bb");
    }

    static const FleetPrinter &printer(const char *name)
    {
        const FleetPrinter *p = s_fleet.find(QString::fromLatin1(name));
        EXPECT_NE(p, nullptr) << name;
        static const FleetPrinter none;
        return p ? *p : none;
    }

    // An address of the fleet's /24 on which nothing runs.
    static QString silentAddress() { return s_fleet.prefix + QStringLiteral("200"); }

    static QList<PrinterItem> search(QThread &worker)
    {
        QList<PrinterItem> found;
        int results = 0;
        const bool finished = runWorker(worker, [&](QObject &receiver, QEventLoop &loop) {
            auto take = [&](QList<PrinterItem> items) {
                found = items;
                ++results;
                loop.quit();
            };
            if (auto *snmp = qobject_cast<SNMPSearchWorker *>(&worker))
                QObject::connect(snmp, &SNMPSearchWorker::resultReady, &receiver, take, Qt::QueuedConnection);
            else if (auto *range = qobject_cast<RangeSearchWorker *>(&worker))
                QObject::connect(range, &RangeSearchWorker::resultReady, &receiver, take, Qt::QueuedConnection);
        });
        EXPECT_TRUE(finished) << "no result in time";
        EXPECT_EQ(results, 1);
        return found;
    }

    QString add(AddPrinterWorker &worker)
    {
        QString err = QStringLiteral("<no result>");
        const bool finished = runWorker(worker, [&](QObject &receiver, QEventLoop &loop) {
            QObject::connect(
                &worker, &AddPrinterWorker::resultReady, &receiver,
                [&](QString e) {
                    err = e;
                    loop.quit();
                },
                Qt::QueuedConnection);
        });
        EXPECT_TRUE(finished);
        return err;
    }

    static QStringList storedNames()
    {
        QStringList names;
        for (const Printer &p : util::getPrinters())
            names << p.deviceName;
        return names;
    }

    QTemporaryDir m_dir;
    static inline FleetState s_fleet;
};

TEST_F(WorkersPeerTest, SnmpSearchFindsListedPrintersThatAnswerIpp)
{
    QTemporaryDir serverRoot;
    QFile conf(serverRoot.filePath(QStringLiteral("snmp.conf")));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("Address %1\nCommunity public\nHostNameLookups off\nMaxRunTime 10\n")
                   .arg(s_fleet.broadcast)
                   .toUtf8());
    conf.close();
    qputenv("CUPS_SERVERROOT", serverRoot.path().toUtf8());

    QList<PrinterItem> expected;
    for (const FleetPrinter &p : s_fleet.printers) {
        if (p.expectedFlag("snmp_backend_lists") && p.expectedFlag("answers_ipp"))
            expected << PrinterItem{QString::fromStdString(p.snmpObjects[kHrDeviceDescr][1].asString()), p.ip};
    }
    ASSERT_GE(expected.size(), 10);

    SNMPSearchWorker worker;
    QList<PrinterItem> found = search(worker);
    // The backend lists devices as their answers come in.
    std::sort(found.begin(), found.end(), [](const PrinterItem &a, const PrinterItem &b) {
        return a.ip.section(QLatin1Char('.'), 3).toInt() < b.ip.section(QLatin1Char('.'), 3).toInt();
    });
    EXPECT_EQ(found, expected);
    qunsetenv("CUPS_SERVERROOT");
}

TEST_F(WorkersPeerTest, SnmpSearchWithoutBackendFindsNothing)
{
    SNMPSearchWorker worker(QStringLiteral("/nonexistent/backend/snmp"));
    EXPECT_TRUE(search(worker).isEmpty());
}

TEST_F(WorkersPeerTest, RangeSearchFindsThePrintersInAddressOrder)
{
    QList<PrinterItem> expected;
    for (const FleetPrinter &p : s_fleet.printers) {
        if (p.expectedFlag("answers_ipp"))
            expected << PrinterItem{p.expected("model"), p.ip};
    }
    ASSERT_GE(expected.size(), 12);

    RangeSearchWorker worker(s_fleet.prefix + QStringLiteral("1"), QStringLiteral("254"));
    EXPECT_EQ(search(worker), expected);
}

TEST_F(WorkersPeerTest, RangeSearchOneAtATimeGivesTheSameList)
{
    // .8 and .9 are silent, .10 to .12 printers.
    const QString start = s_fleet.prefix + QStringLiteral("8");
    RangeSearchWorker parallel(start, QStringLiteral("12"));
    RangeSearchWorker sequential(start, QStringLiteral("12"));
    sequential.setParallelism(1, 1);
    const QList<PrinterItem> expected = {
        {printer("hp").expected("model"), printer("hp").ip},
        {printer("toshiba").expected("model"), printer("toshiba").ip},
        {printer("xerox").expected("model"), printer("xerox").ip},
    };
    EXPECT_EQ(search(parallel), expected);
    EXPECT_EQ(search(sequential), expected);
}

TEST_F(WorkersPeerTest, RangeSearchOfNoAddresses)
{
    RangeSearchWorker backwards(printer("hp").ip, QStringLiteral("9"));
    EXPECT_TRUE(search(backwards).isEmpty());
    RangeSearchWorker silent(silentAddress(), QStringLiteral("200"));
    EXPECT_TRUE(search(silent).isEmpty());
}

struct CheckResult {
    QStringList order;
    QString printerName;
    QString nameErr;
    Printer printer;
    QString printerErr;
};

CheckResult check(const QString &ip)
{
    CheckPrinterWorker worker(ip);
    CheckResult r;
    const bool finished = runWorker(worker, [&](QObject &receiver, QEventLoop &loop) {
        QObject::connect(
            &worker, QOverload<QString, QString>::of(&CheckPrinterWorker::resultReady), &receiver,
            [&](QString name, QString err) {
                r.order << QStringLiteral("name");
                r.printerName = name;
                r.nameErr = err;
            },
            Qt::QueuedConnection);
        QObject::connect(
            &worker, QOverload<Printer, QString>::of(&CheckPrinterWorker::resultReady), &receiver,
            [&](Printer p, QString err) {
                r.order << QStringLiteral("printer");
                r.printer = p;
                r.printerErr = err;
                loop.quit();
            },
            Qt::QueuedConnection);
    });
    EXPECT_TRUE(finished);
    return r;
}

TEST_F(WorkersPeerTest, CheckGivesTheProbedPrinterNamedByItsModel)
{
    const CheckResult r = check(printer("toshiba").ip);
    EXPECT_EQ(r.order, (QStringList{"name", "printer"}));
    EXPECT_EQ(r.printerName, QStringLiteral("TOSHIBA e-STUDIO3015AC"));
    EXPECT_TRUE(r.nameErr.isEmpty());
    EXPECT_TRUE(r.printerErr.isEmpty());
    EXPECT_EQ(r.printer.deviceName, QStringLiteral("TOSHIBA e-STUDIO3015AC"));
    EXPECT_EQ(r.printer.deviceModel, QStringLiteral("TOSHIBA e-STUDIO3015AC"));
    EXPECT_EQ(r.printer.deviceBrandCode, QStringLiteral("01"));
    EXPECT_EQ(r.printer.deviceDocType, QStringLiteral("dirpdf"));
    EXPECT_EQ(r.printer.deviceIpAddress, printer("toshiba").ip);
}

TEST_F(WorkersPeerTest, CheckRefusesWhatDoesNotAnswer)
{
    const QString cannot = QStringLiteral("Cannot connect printer!");
    for (const QString &ip :
         {silentAddress(), printer("noipp").ip, QStringLiteral("1.2.3.x"), s_fleet.prefix.chopped(1), QString()}) {
        const CheckResult r = check(ip);
        EXPECT_EQ(r.order, (QStringList{"name", "printer"})) << ip.toStdString();
        EXPECT_EQ(r.nameErr, cannot) << ip.toStdString();
        EXPECT_EQ(r.printerErr, cannot) << ip.toStdString();
        EXPECT_TRUE(r.printerName.isEmpty());
        EXPECT_TRUE(r.printer.deviceName.isEmpty());
        EXPECT_TRUE(r.printer.deviceIpAddress.isEmpty());
    }
}

TEST_F(WorkersPeerTest, AddStoresEveryItemUnderTheChosenName)
{
    AddPrinterWorker worker(
        {{QStringLiteral("办公室 HP"), printer("hp").ip}, {QStringLiteral("Front desk"), printer("toshiba").ip}});
    EXPECT_EQ(add(worker), QString());

    const QList<Printer> stored = util::getPrinters();
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored.at(0).deviceName, QStringLiteral("办公室 HP"));
    EXPECT_EQ(stored.at(0).deviceIpAddress, printer("hp").ip);
    EXPECT_EQ(stored.at(0).deviceBrandCode, QStringLiteral("05"));
    EXPECT_EQ(stored.at(0).deviceDocType, QStringLiteral("pdf"));
    EXPECT_EQ(stored.at(1).deviceName, QStringLiteral("Front desk"));
    EXPECT_EQ(stored.at(1).deviceModel, QStringLiteral("TOSHIBA e-STUDIO3015AC"));
    EXPECT_EQ(worker.printer().deviceId, stored.at(1).deviceId);

    const Json::Value sent = service().requests("license/addDevice");
    ASSERT_EQ(sent.size(), 2u);
}

struct RefusalRow {
    const char *what;
    Json::Value reply;
    const char *reason; // nullptr: any transport error text
    friend void PrintTo(const RefusalRow &row, std::ostream *os) { *os << row.what; }
};

class AddRefusedTest : public WorkersPeerTest, public ::testing::WithParamInterface<RefusalRow>
{
};

TEST_P(AddRefusedTest, RefusalStopsTheAdd)
{
    const RefusalRow &row = GetParam();
    Json::Value replies(Json::arrayValue);
    replies.append(row.reply);
    ASSERT_TRUE(service().script("license/addDevice", replies));

    AddPrinterWorker worker({{QStringLiteral("hp"), printer("hp").ip}, {QStringLiteral("x"), printer("xerox").ip}});
    const QString err = add(worker);
    const QString prefix = QStringLiteral("Add printer failed: ");
    ASSERT_TRUE(err.startsWith(prefix)) << err.toStdString();
    if (row.reason)
        EXPECT_EQ(err.mid(prefix.size()), QString::fromUtf8(row.reason));
    else
        EXPECT_GT(err.size(), prefix.size());
    EXPECT_TRUE(util::getPrinters().isEmpty());
    EXPECT_EQ(service().requests("license/addDevice").size(), 1u) << "the second item must not be tried";
}

Json::Value dropped()
{
    Json::Value reply(Json::objectValue);
    reply["drop"] = true;
    return reply;
}

INSTANTIATE_TEST_SUITE_P(Replies, AddRefusedTest,
                         ::testing::Values(RefusalRow{"refused", Json::Value("FAIL:DeviceLimit"), "FAIL:DeviceLimit"},
                                           RefusalRow{"dropped", dropped(), nullptr}),
                         rowName<RefusalRow>);

TEST_F(WorkersPeerTest, AddStopsAtAPrinterAlreadyListed)
{
    AddPrinterWorker first({{QStringLiteral("hp"), printer("hp").ip}});
    ASSERT_EQ(add(first), QString());

    AddPrinterWorker again(
        {{QStringLiteral("hp again"), printer("hp").ip}, {QStringLiteral("x"), printer("xerox").ip}});
    EXPECT_EQ(add(again), QStringLiteral("exist"));
    EXPECT_EQ(storedNames(), (QStringList{"hp"}));
    EXPECT_EQ(service().requests("license/addDevice").size(), 1u);
    // The dialog offers to overwrite with the record just probed.
    EXPECT_EQ(again.printer().deviceName, QStringLiteral("hp again"));
    EXPECT_EQ(again.printer().deviceIpAddress, printer("hp").ip);
    EXPECT_EQ(again.printer().deviceModel, QStringLiteral("HP LaserJet Pro M404dn"));
}

TEST_F(WorkersPeerTest, AddStopsAtAnAddressThatDoesNotAnswer)
{
    AddPrinterWorker worker({{QStringLiteral("gone"), silentAddress()}, {QStringLiteral("hp"), printer("hp").ip}});
    EXPECT_EQ(add(worker), QStringLiteral("Cannot connect printer!"));
    EXPECT_TRUE(util::getPrinters().isEmpty());
    EXPECT_EQ(service().requests("license/addDevice").size(), 0u);

    AddPrinterWorker later({{QStringLiteral("hp"), printer("hp").ip}, {QStringLiteral("gone"), silentAddress()}});
    EXPECT_EQ(add(later), QStringLiteral("Cannot connect printer!"));
    EXPECT_EQ(storedNames(), (QStringList{"hp"})) << "items before the failure stay added";
}

} // namespace
