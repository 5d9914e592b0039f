// The printer store against the loopback test service: what is stored after
// each kind of reply, lookups, concurrent adds, and a writer killed mid-write.

#include "storage/PrinterStore.h"

#include "service/ServiceFixture.h"
#include "storage/Config.h"
#include "storage/ProtectedFile.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <cctype>
#include <cstring>
#include <initializer_list>
#include <thread>

#include <unistd.h>

#include <signal.h>

namespace {

using tavrin::test::ServiceFixture;
using tavrin::test::TestService;

Printer makePrinter(const QString &name, const QString &ip, const QString &id = QString())
{
    Printer p;
    p.deviceId = id.isEmpty() ? config::newGUID() : id;
    p.clientId = QStringLiteral("c0ffee00-0000-4000-8000-000000000001");
    p.deviceName = name;
    p.deviceIpAddress = ip;
    p.deviceBrandCode = QStringLiteral("05");
    p.deviceModel = QStringLiteral("HP LaserJet Pro M404dn");
    p.deviceDocType = QStringLiteral("pdf");
    return p;
}

// A gtest case name from a row's description.
template <typename Row> std::string rowName(const ::testing::TestParamInfo<Row> &info)
{
    std::string name;
    for (const char *c = info.param.what; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

QStringList names()
{
    QStringList out;
    for (const Printer &p : util::getPrinters())
        out << p.deviceName;
    return out;
}

// The plain content of the printer-list file, without the cipher's zero padding.
std::string plainListFile()
{
    const std::string plain = config::strFromSecureFile(config::_depP);
    return std::string(plain.c_str(), std::strlen(plain.c_str()));
}

class PrinterStoreTest : public ServiceFixture
{
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        config::_depP = dir.filePath(QStringLiteral("alice_depP"));
    }

    // Adds with the service's default "OK:" reply.
    void seed(const QList<Printer> &printers)
    {
        for (const Printer &p : printers) {
            QString error;
            ASSERT_TRUE(util::addPrinter(p, error)) << error.toStdString();
        }
    }

    QTemporaryDir dir;
};

TEST_F(PrinterStoreTest, EmptyWithoutFile)
{
    EXPECT_TRUE(util::getPrinters().isEmpty());
    EXPECT_TRUE(util::getPrinter(QStringLiteral("any")).deviceName.isEmpty());
    EXPECT_EQ(util::printerCount(QStringLiteral("192.0.2.1")), 0);
    EXPECT_FALSE(util::isPrinterExistByIP(QStringLiteral("192.0.2.1")));
    EXPECT_FALSE(util::isPrinterExist(QStringLiteral("any"), QString()));
    EXPECT_EQ(service().requests().size(), 0u);
}

TEST_F(PrinterStoreTest, AcceptedAddIsStoredAndSentWhole)
{
    const Printer p = makePrinter(QStringLiteral("Front desk"), QStringLiteral("192.0.2.10"));
    QString error = QStringLiteral("untouched");
    ASSERT_TRUE(util::addPrinter(p, error));
    EXPECT_EQ(error, "untouched");

    const QList<Printer> stored = util::getPrinters();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first().toJson(), p.toJson());
    EXPECT_EQ(util::getPrinter(p.deviceName).deviceId, p.deviceId);

    const Json::Value sent = service().requests("license/addDevice");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_FALSE(sent[0]["rejected"].asBool()) << sent[0]["error"].asString();
    EXPECT_EQ(sent[0]["payload"], p.toJson());
    EXPECT_EQ(sent[0]["plain"].asString(), p.toJson().toStyledString());
}

// Every add the service does not accept leaves the list as it was and hands back the reply.
struct RefusedAdd {
    const char *what;
    Json::Value reply;      // scripted reply; null: the service cannot be reached
    const char *errorStart; // errorText begins with this
    const char *errorHas;   // and contains this
};

void PrintTo(const RefusedAdd &row, std::ostream *os)
{
    *os << row.what;
}

class PrinterStoreRefusedAdd : public PrinterStoreTest, public ::testing::WithParamInterface<RefusedAdd>
{
};

Json::Value replies(std::initializer_list<Json::Value> items)
{
    Json::Value out(Json::arrayValue);
    for (const Json::Value &item : items)
        out.append(item);
    return out;
}

Json::Value dropped()
{
    Json::Value reply(Json::objectValue);
    reply["drop"] = true;
    return reply;
}

const RefusedAdd kRefusedAdds[] = {
    {"refusal", "FAIL:LicenseExceeded", "FAIL:LicenseExceeded", ""},
    {"OK without the colon", "OK", "OK", ""},
    {"lower-case ok", "ok:accepted", "ok:accepted", ""},
    {"empty reply", "", "", ""},
    {"connection dropped", dropped(), "cerr:", ", code:52"},
    {"service down", Json::Value(), "cerr:", ", code:7"},
};

TEST_P(PrinterStoreRefusedAdd, NothingStored)
{
    const RefusedAdd &c = GetParam();
    seed({makePrinter(QStringLiteral("Existing"), QStringLiteral("192.0.2.9"))});
    const std::string before = plainListFile();
    if (c.reply.isNull())
        Itf::_itf_url = TestService::unreachableUrl();
    else
        ASSERT_TRUE(service().script("license/addDevice", replies({c.reply})));

    QString error;
    EXPECT_FALSE(util::addPrinter(makePrinter(QStringLiteral("New"), QStringLiteral("192.0.2.10")), error));
    EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.errorStart))) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.errorHas))) << error.toStdString();
    if (std::strcmp(c.errorStart, "cerr:") != 0) {
        EXPECT_EQ(error, QString::fromUtf8(c.errorStart)); // the whole reply
    }
    EXPECT_EQ(plainListFile(), before);
    EXPECT_EQ(names(), QStringList{"Existing"});
}

INSTANTIATE_TEST_SUITE_P(Replies, PrinterStoreRefusedAdd, ::testing::ValuesIn(kRefusedAdds), rowName<RefusedAdd>);

TEST_F(PrinterStoreTest, DuplicateNameIsRefusedWithoutAskingTheService)
{
    seed({makePrinter(QStringLiteral("Lab"), QStringLiteral("192.0.2.20"))});
    QString error;
    EXPECT_FALSE(util::addPrinter(makePrinter(QStringLiteral("Lab"), QStringLiteral("192.0.2.21")), error));
    EXPECT_EQ(error, "printer already exist");
    EXPECT_EQ(service().requests("license/addDevice").size(), 1u);

    // Names are compared exactly: other letter case or a blank make another name.
    for (const QString &other : {QStringLiteral("lab"), QStringLiteral("LAB"), QStringLiteral("Lab ")}) {
        QString e;
        EXPECT_TRUE(util::addPrinter(makePrinter(other, QStringLiteral("192.0.2.22")), e)) << other.toStdString();
    }
    EXPECT_EQ(names(), (QStringList{"Lab", "lab", "LAB", "Lab "}));
    EXPECT_EQ(util::getPrinter(QStringLiteral("LAB")).deviceName, "LAB");
    EXPECT_TRUE(util::getPrinter(QStringLiteral("lAb")).deviceName.isEmpty());
}

TEST_F(PrinterStoreTest, IsPrinterExistMeansAnotherPrinterHasTheName)
{
    const Printer a = makePrinter(QStringLiteral("A"), QStringLiteral("192.0.2.30"));
    seed({a});
    EXPECT_FALSE(util::isPrinterExist(QStringLiteral("A"), a.deviceId)); // itself
    EXPECT_TRUE(util::isPrinterExist(QStringLiteral("A"), config::newGUID()));
    EXPECT_FALSE(util::isPrinterExist(QStringLiteral("a"), config::newGUID()));
    EXPECT_TRUE(util::isPrinterExistByIP(QStringLiteral("192.0.2.30")));
    EXPECT_FALSE(util::isPrinterExistByIP(QStringLiteral("192.0.2.3")));
}

TEST_F(PrinterStoreTest, SameAddressPrintersAreCountedAndRemovedTogether)
{
    const Printer a = makePrinter(QStringLiteral("Tray A"), QStringLiteral("192.0.2.40"));
    const Printer b = makePrinter(QStringLiteral("Tray B"), QStringLiteral("192.0.2.40"));
    const Printer c = makePrinter(QStringLiteral("Other"), QStringLiteral("192.0.2.41"));
    seed({a, b, c});
    EXPECT_EQ(util::printerCount(QStringLiteral("192.0.2.40")), 2);

    util::removePrinterByIP(QStringLiteral("192.0.2.40"));
    EXPECT_EQ(names(), QStringList{"Other"});
    // The service is told about each of them, not only the last.
    const Json::Value removed = service().requests("license/removeDevice");
    ASSERT_EQ(removed.size(), 2u);
    EXPECT_EQ(removed[0]["payload"]["deviceId"].asString(), a.deviceId.toStdString());
    EXPECT_EQ(removed[1]["payload"]["deviceId"].asString(), b.deviceId.toStdString());
}

TEST_F(PrinterStoreTest, SameAddressPrinterRefusedByTheServiceStays)
{
    seed({makePrinter(QStringLiteral("Tray A"), QStringLiteral("192.0.2.40")),
          makePrinter(QStringLiteral("Tray B"), QStringLiteral("192.0.2.40"))});
    ASSERT_TRUE(service().script("license/removeDevice", replies({"OK:", "FAIL:Busy"})));
    util::removePrinterByIP(QStringLiteral("192.0.2.40"));
    EXPECT_EQ(names(), QStringList{"Tray B"});
}

// Removal by name with each kind of reply: gone only when the service let the printer go.
struct RemoveReply {
    const char *what;
    Json::Value reply; // null: the service cannot be reached
    bool removed;
};

void PrintTo(const RemoveReply &row, std::ostream *os)
{
    *os << row.what;
}

const RemoveReply kRemoveReplies[] = {
    {"OK: alone", "OK:", true},
    {"OK: with data", "OK:removed 1", true},
    {"device unknown to the service", "FAIL:DeviceNotExist", true},
    {"device unknown, other case", "FAIL:deviceNotExist", false},
    {"device unknown with more text", "FAIL:DeviceNotExist ", false},
    {"other refusal", "FAIL:Busy", false},
    {"OK without colon", "OK", false},
    {"dropped connection", dropped(), false},
    {"service down", Json::Value(), false},
};

class PrinterStoreRemove : public PrinterStoreTest, public ::testing::WithParamInterface<RemoveReply>
{
};

TEST_P(PrinterStoreRemove, ByName)
{
    const RemoveReply &c = GetParam();
    const Printer keep = makePrinter(QStringLiteral("Keep"), QStringLiteral("192.0.2.50"));
    const Printer target = makePrinter(QStringLiteral("Target"), QStringLiteral("192.0.2.51"));
    seed({keep, target});
    if (c.reply.isNull())
        Itf::_itf_url = TestService::unreachableUrl();
    else
        ASSERT_TRUE(service().script("license/removeDevice", replies({c.reply})));

    util::removePrinter(QStringLiteral("Target"));
    EXPECT_EQ(names(), c.removed ? QStringList{"Keep"} : (QStringList{"Keep", "Target"}));
    if (!c.reply.isNull()) {
        const Json::Value sent = service().requests("license/removeDevice");
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0]["payload"]["deviceId"].asString(), target.deviceId.toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, PrinterStoreRemove, ::testing::ValuesIn(kRemoveReplies), rowName<RemoveReply>);

TEST_F(PrinterStoreTest, RemovingTheLastPrinterLeavesNull)
{
    seed({makePrinter(QStringLiteral("Only"), QStringLiteral("192.0.2.60"))});
    util::removePrinter(QStringLiteral("Only"));
    EXPECT_EQ(plainListFile(), "null\n");
    EXPECT_TRUE(util::getPrinters().isEmpty());
}

TEST_F(PrinterStoreTest, RemovingAnUnknownNameAsksWithAnEmptyIdAndKeepsTheList)
{
    seed({makePrinter(QStringLiteral("Only"), QStringLiteral("192.0.2.60"))});
    util::removePrinter(QStringLiteral("only"));
    EXPECT_EQ(names(), QStringList{"Only"});
    const Json::Value sent = service().requests("license/removeDevice");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]["payload"]["deviceId"], Json::Value(""));
}

TEST_F(PrinterStoreTest, ChangePrinterReplacesByIdentifier)
{
    const Printer a = makePrinter(QStringLiteral("A"), QStringLiteral("192.0.2.70"));
    const Printer b = makePrinter(QStringLiteral("B"), QStringLiteral("192.0.2.71"));
    seed({a, b});
    const std::string before = plainListFile();

    Printer stranger = makePrinter(QStringLiteral("B"), QStringLiteral("192.0.2.99"));
    util::changePrinter(stranger); // no entry has its deviceId
    EXPECT_EQ(plainListFile(), before);

    Printer renamed = a;
    renamed.deviceName = QStringLiteral("A renamed");
    renamed.isFav = QStringLiteral("Y");
    renamed.m_modified_time = 1702000000999;
    util::changePrinter(renamed);
    EXPECT_EQ(names(), (QStringList{"A renamed", "B"}));
    EXPECT_EQ(util::getPrinter(QStringLiteral("A renamed")).m_modified_time, 1702000000999);

    // A re-probe gives the printer a new record and a new identifier.
    const Printer reprobed = makePrinter(QStringLiteral("B"), QStringLiteral("192.0.2.72"));
    util::changePrinter(b, reprobed);
    EXPECT_EQ(util::getPrinter(QStringLiteral("B")).deviceId, reprobed.deviceId);
    EXPECT_EQ(util::getPrinter(QStringLiteral("B")).deviceIpAddress, "192.0.2.72");
    // Changes are local: the service heard only the two adds.
    EXPECT_EQ(service().requests().size(), 2u);
}

TEST_F(PrinterStoreTest, ChangingAnEmptyListWritesNull)
{
    util::changePrinter(makePrinter(QStringLiteral("A"), QStringLiteral("192.0.2.70")));
    EXPECT_EQ(plainListFile(), "null\n");
}

TEST_F(PrinterStoreTest, DamagedFileReadsAsEmpty)
{
    config::strToSecureFile("{ not json", config::_depP);
    EXPECT_TRUE(util::getPrinters().isEmpty());
    config::strToSecureFile("{\"deviceName\": \"A\"}\n", config::_depP); // an object, not a list
    EXPECT_TRUE(util::getPrinters().isEmpty());
    QString error;
    EXPECT_TRUE(util::addPrinter(makePrinter(QStringLiteral("A"), QStringLiteral("192.0.2.80")), error));
    EXPECT_EQ(names(), QStringList{"A"});
}

// Both threads load, ask the service and write; without one lock around all
// three, one thread's write would drop the other's printers.
TEST_F(PrinterStoreTest, TwoThreadsAddingLoseNothing)
{
    constexpr int kEach = 12;
    auto addMany = [](const QString &prefix) {
        for (int i = 0; i < kEach; ++i) {
            QString error;
            EXPECT_TRUE(util::addPrinter(makePrinter(prefix + QString::number(i), QStringLiteral("192.0.2.90")), error))
                << error.toStdString();
        }
    };
    std::thread worker(addMany, QStringLiteral("worker-"));
    addMany(QStringLiteral("main-"));
    worker.join();

    const QStringList stored = names();
    EXPECT_EQ(stored.size(), 2 * kEach);
    for (int i = 0; i < kEach; ++i) {
        EXPECT_TRUE(stored.contains(QStringLiteral("worker-%1").arg(i)));
        EXPECT_TRUE(stored.contains(QStringLiteral("main-%1").arg(i)));
    }
    EXPECT_EQ(service().requests("license/addDevice").size(), 2u * kEach);
}

// Two threads adding the same name: exactly one of them gets it.
TEST_F(PrinterStoreTest, TwoThreadsAddingOneNameStoreItOnce)
{
    bool results[2] = {false, false};
    QString errors[2];
    std::thread first([&] { results[0] = util::addPrinter(makePrinter("Same", "192.0.2.91"), errors[0]); });
    results[1] = util::addPrinter(makePrinter("Same", "192.0.2.92"), errors[1]);
    first.join();
    EXPECT_NE(results[0], results[1]);
    EXPECT_EQ(errors[results[0] ? 1 : 0], "printer already exist");
    EXPECT_EQ(names(), QStringList{"Same"});
}

// A writer killed at any moment leaves the old or the new list, never an empty or cut one.
TEST(PrinterStoreKill, KilledWriterLeavesAWholeList)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    config::_depP = dir.filePath(QStringLiteral("bob_depP"));
    constexpr int kPrinters = 400; // about 150 kB of cipher text per rewrite
    Json::Value list(Json::arrayValue);
    for (int i = 0; i < kPrinters; ++i)
        list.append(makePrinter(QStringLiteral("P%1").arg(i), QStringLiteral("192.0.2.%1").arg(i % 250)).toJson());
    config::saveSecureJson(list, config::_depP);

    for (int round = 0; round < 12; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(PRINTER_LIST_REWRITER), {config::_depP});
        ASSERT_TRUE(writer.waitForStarted(10000));
        // It prints a line after each completed rewrite; once it is going, kill it at a random moment.
        ASSERT_TRUE(writer.waitForReadyRead(30000));
        ::usleep(QRandomGenerator::global()->bounded(30000u));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        ASSERT_TRUE(writer.waitForFinished(10000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit);

        const QList<Printer> printers = util::getPrinters();
        ASSERT_EQ(printers.size(), kPrinters) << "round " << round;
        for (const Printer &p : printers)
            ASSERT_TRUE(p.deviceName.startsWith(QLatin1Char('P'))) << p.deviceName.toStdString();
    }
}

} // namespace
