// The add-printer chain, the properties and the overwrite dialogs driven the
// way a user drives them, against the simulated printers (CTest fixture) and
// the loopback test service that accepts or refuses each added printer. The
// workers run for real; the test only clicks and answers the dialogs.

#include "ui/AddPrinterMethod.h"
#include "ui/AddPrinterWindow.h"
#include "ui/OverwritePrinter.h"
#include "ui/SearchWindow.h"
#include "ui/addprinterrange.h"
#include "ui/properties.h"

#include "storage/Config.h"
#include "storage/PrinterStore.h"

#include "DialogTestSupport.h"
#include "discovery/DiscoveryTools.h"
#include "discovery/FleetState.h"
#include "service/ServiceFixture.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMovie>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace tavrin::test;

const char kHrDeviceDescr[] = "1.3.6.1.2.1.25.3.2.1.3.1";

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void typeAddress(QWidget *window, const QStringList &fieldNames, const QString &address)
{
    const QStringList octets = address.split(QLatin1Char('.'));
    for (int i = 0; i < fieldNames.size(); ++i) {
        auto *field = child<QLineEdit>(window, fieldNames[i].toLatin1().constData());
        field->clear();
        QTest::keyClicks(field, octets.value(i));
    }
}

const QStringList kAddFields{"editStart", "editStart_2", "editStart_3", "editStart_4"};
const QStringList kPropertyFields{"edit1", "edit2", "edit3", "edit4"};

class DialogFlowTest : public ServiceFixture
{
protected:
    static void SetUpTestSuite()
    {
        ServiceFixture::SetUpTestSuite();
        s_fleet = loadFleet(UI_FLEET_NAME);
    }

    void SetUp() override
    {
        ServiceFixture::SetUp();
        ASSERT_TRUE(s_fleet.error.isEmpty()) << s_fleet.error.toStdString();
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(installTools());
        config::_depP = m_dir.filePath(QStringLiteral("alice_depP"));
        config::clientId = QStringLiteral("c0ffee00-0000-4000-8000-0000000000ce");
        // The pictures, and the Chinese the user reads (when the catalogues are built in).
        m_chinese = installChineseCatalogue();
    }

    static QString ip(const char *name)
    {
        const FleetPrinter *p = s_fleet.find(QString::fromLatin1(name));
        EXPECT_NE(p, nullptr) << name;
        return p ? p->ip : QString();
    }

    // An address of the fleet's network on which nothing runs.
    static QString silentAddress() { return s_fleet.prefix + QStringLiteral("200"); }

    // A stored printer as an earlier add left it (the service accepts it).
    static Printer seed(const QString &name, const QString &address, const QString &fav = QString())
    {
        Printer p;
        p.deviceId = config::newGUID();
        p.clientId = config::clientId;
        p.deviceName = name;
        p.deviceIpAddress = address;
        p.deviceModel = QStringLiteral("Seeded");
        p.deviceDocType = QStringLiteral("pdf");
        p.isFav = fav;
        p.m_modified_time = fav.isEmpty() ? 0 : 1700000000000;
        QString reason;
        EXPECT_TRUE(util::addPrinter(p, reason)) << reason.toStdString();
        return p;
    }

    static QStringList storedNames()
    {
        QStringList names;
        for (const Printer &p : util::getPrinters())
            names << p.deviceName + QLatin1Char('@') + p.deviceIpAddress;
        return names;
    }

    static std::size_t requests(const char *endpoint) { return service().requests(endpoint).size(); }

    QTemporaryDir m_dir;
    bool m_chinese = false;
    static inline FleetState s_fleet;
};

// ---------------------------------------------------------------- single address

TEST_F(DialogFlowTest, CheckSuggestsTheProbedModel)
{
    AddPrinterWindow window;
    window.show();
    typeAddress(&window, kAddFields, ip("hp"));
    EXPECT_TRUE(saveScreenshot(&window, "add-window"));
    auto *check = child<QPushButton>(&window, "checkButton");
    check->click();
    EXPECT_FALSE(check->isEnabled()) << "one check at a time";
    EXPECT_EQ(labelText(&window, "statusTxt"), "正在检查，请稍候...");
    ASSERT_TRUE(waitFor([&] { return check->isEnabled(); }));
    EXPECT_EQ(child<QLineEdit>(&window, "nameEdit")->text(), "HP LaserJet Pro M404dn");
    EXPECT_EQ(labelText(&window, "statusTxt"), QObject::tr("Printer Connect OK!"));
    EXPECT_EQ(child<QLabel>(&window, "statusTxt")->styleSheet(), markTagStyle(MarkTag::Ok));
    EXPECT_TRUE(util::getPrinters().isEmpty()) << "a check stores nothing";
    EXPECT_TRUE(saveScreenshot(&window, "add-window-checked"));

    typeAddress(&window, kAddFields, silentAddress());
    check->click();
    ASSERT_TRUE(waitFor([&] { return check->isEnabled(); }));
    EXPECT_EQ(labelText(&window, "statusTxt"), QObject::tr("Cannot connect printer!"));
    EXPECT_EQ(child<QLabel>(&window, "statusTxt")->styleSheet(), markTagStyle(MarkTag::Error));
    EXPECT_EQ(child<QLineEdit>(&window, "nameEdit")->text(), "HP LaserJet Pro M404dn") << "the name stays";
    EXPECT_TRUE(saveScreenshot(&window, "add-window-error"));
}

TEST_F(DialogFlowTest, AddStoresUnderTheTypedNameAndCloses)
{
    AddPrinterWindow window;
    window.show();
    typeAddress(&window, kAddFields, ip("toshiba"));
    child<QLineEdit>(&window, "nameEdit")->setText(QStringLiteral("前台 复印机"));
    child<QPushButton>(&window, "addBtn")->click();
    EXPECT_FALSE(child<QPushButton>(&window, "addBtn")->isEnabled());
    EXPECT_EQ(labelText(&window, "statusTxt"), "正在添加，请稍候...");
    EXPECT_TRUE(saveScreenshot(&window, "add-window-busy"));
    ASSERT_TRUE(waitFor([&] { return !window.isVisible(); }));
    EXPECT_EQ(window.result(), QDialog::Accepted);
    const QList<Printer> stored = util::getPrinters();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].deviceName, "前台 复印机");
    EXPECT_EQ(stored[0].deviceIpAddress, ip("toshiba"));
    EXPECT_EQ(stored[0].deviceModel, "TOSHIBA e-STUDIO3015AC");
    EXPECT_EQ(stored[0].deviceDocType, "dirpdf");
    EXPECT_EQ(requests("license/addDevice"), 1u);
}

TEST_F(DialogFlowTest, AddRefusedByTheServiceStaysOpenWithTheReason)
{
    ASSERT_TRUE(service().queue("license/addDevice", "FAIL:DeviceLimit"));
    AddPrinterWindow window;
    window.show();
    typeAddress(&window, kAddFields, ip("hp"));
    child<QLineEdit>(&window, "nameEdit")->setText(QStringLiteral("Office"));
    auto *add = child<QPushButton>(&window, "addBtn");
    add->click();
    ASSERT_TRUE(waitFor([&] { return add->isEnabled(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(labelText(&window, "statusTxt"), QObject::tr("Add printer failed: ") + "FAIL:DeviceLimit");
    EXPECT_EQ(child<QLabel>(&window, "statusTxt")->styleSheet(), markTagStyle(MarkTag::Error));
    EXPECT_TRUE(util::getPrinters().isEmpty());

    // The same add again, now accepted.
    add->click();
    ASSERT_TRUE(waitFor([&] { return !window.isVisible(); }));
    EXPECT_EQ(storedNames(), QStringList{"Office@" + ip("hp")});
}

TEST_F(DialogFlowTest, AddToAnUnansweringAddressSaysSo)
{
    AddPrinterWindow window;
    window.show();
    typeAddress(&window, kAddFields, silentAddress());
    child<QLineEdit>(&window, "nameEdit")->setText(QStringLiteral("Gone"));
    auto *add = child<QPushButton>(&window, "addBtn");
    add->click();
    ASSERT_TRUE(waitFor([&] { return add->isEnabled(); }));
    EXPECT_EQ(labelText(&window, "statusTxt"), QObject::tr("Cannot connect printer!"));
    EXPECT_EQ(requests("license/addDevice"), 0u);
}

// An address already in the list: the overwrite dialog, answered either way.
struct OverwriteRow {
    const char *what;
    const char *button;
    QStringList after; // name@printer, with the printers' addresses filled in
    std::size_t removals;
};

void PrintTo(const OverwriteRow &row, std::ostream *os)
{
    *os << row.what;
}

class AddExisting : public DialogFlowTest, public ::testing::WithParamInterface<OverwriteRow>
{
};

TEST_P(AddExisting, AsksToOverwriteThenCloses)
{
    const OverwriteRow &row = GetParam();
    seed(QStringLiteral("Old"), ip("hp"));
    seed(QStringLiteral("Other"), ip("toshiba"));
    ASSERT_TRUE(service().reset());

    AddPrinterWindow window;
    window.show();
    typeAddress(&window, kAddFields, ip("hp"));
    child<QLineEdit>(&window, "nameEdit")->setText(QStringLiteral("New"));
    QString message;
    QString title;
    const auto answered = whenShown<OverwritePrinter>([&](OverwritePrinter *dialog) {
        message = labelText(dialog, "msgLabel");
        title = dialog->windowTitle();
        if (row.button == QLatin1String("overwriteBtn")) {
            EXPECT_TRUE(saveScreenshot(dialog, "overwrite"));
        }
        child<QPushButton>(dialog, row.button)->click();
    });
    child<QPushButton>(&window, "addBtn")->click();
    ASSERT_TRUE(waitFor([&] { return !window.isVisible(); }));
    EXPECT_TRUE(*answered);
    EXPECT_EQ(title, QObject::tr("Driver already exist"));
    EXPECT_EQ(message, QObject::tr("Device already exist. Ignore or overwrite it.\n") + ip("hp"));
    QStringList expected;
    for (QString entry : row.after)
        expected << entry.replace("@hp", "@" + ip("hp")).replace("@toshiba", "@" + ip("toshiba"));
    EXPECT_EQ(storedNames(), expected);
    EXPECT_EQ(requests("license/removeDevice"), row.removals);
    if (row.button == QLatin1String("overwriteBtn")) {
        const Printer replaced = util::getPrinter(QStringLiteral("New"));
        EXPECT_EQ(replaced.deviceModel, "HP LaserJet Pro M404dn") << "the freshly probed record";
        EXPECT_EQ(replaced.deviceDocType, "pdf");
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, AddExisting,
                         ::testing::Values(OverwriteRow{"Overwrite", "overwriteBtn", {"Other@toshiba", "New@hp"}, 1},
                                           OverwriteRow{"Ignore", "cancelBtn", {"Old@hp", "Other@toshiba"}, 0}),
                         [](const ::testing::TestParamInfo<OverwriteRow> &info) {
                             return std::string(info.param.what);
                         });

// The typed name belongs to a printer elsewhere: storing would fail after the
// printer at the address was removed, so nothing is removed and the user is told.
TEST_F(DialogFlowTest, OverwriteWithATakenNameLosesNothing)
{
    seed(QStringLiteral("Old"), ip("hp"));
    seed(QStringLiteral("Other"), ip("toshiba"));
    ASSERT_TRUE(service().reset());

    AddPrinterWindow window;
    window.show();
    typeAddress(&window, kAddFields, ip("hp"));
    child<QLineEdit>(&window, "nameEdit")->setText(QStringLiteral("Other"));
    std::shared_ptr<BoxSeen> box;
    whenShown<OverwritePrinter>([&](OverwritePrinter *dialog) {
        box = answerNextBox();
        child<QPushButton>(dialog, "overwriteBtn")->click();
    });
    child<QPushButton>(&window, "addBtn")->click();
    ASSERT_TRUE(waitFor([&] { return !window.isVisible(); }));
    ASSERT_TRUE(box && box->shown) << "the failure is shown";
    EXPECT_EQ(box->text, QObject::tr("Add printer failed: ") + "printer already exist");
    EXPECT_EQ(storedNames(), (QStringList{"Old@" + ip("hp"), "Other@" + ip("toshiba")}));
    EXPECT_EQ(requests("license/removeDevice"), 0u);
    EXPECT_EQ(requests("license/addDevice"), 0u);
}

// ---------------------------------------------------------------- searches

class SearchFlowTest : public DialogFlowTest
{
protected:
    void TearDown() override
    {
        qunsetenv("CUPS_SERVERROOT");
        DialogFlowTest::TearDown();
    }

    // The CUPS SNMP backend asks the fleet's network only.
    void pointSnmpBackendAtFleet()
    {
        ASSERT_TRUE(m_serverRoot.isValid());
        QFile conf(m_serverRoot.filePath(QStringLiteral("snmp.conf")));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write(QStringLiteral("Address %1\nCommunity public\nHostNameLookups off\nMaxRunTime 10\n")
                       .arg(s_fleet.broadcast)
                       .toUtf8());
        conf.close();
        qputenv("CUPS_SERVERROOT", m_serverRoot.path().toUtf8());
    }

    static QStringList entries(SearchWindow &window)
    {
        QStringList texts;
        auto *list = child<QListWidget>(&window, "listWidget");
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        return texts;
    }

    static void select(SearchWindow &window, const QList<int> &rows)
    {
        auto *list = child<QListWidget>(&window, "listWidget");
        list->clearSelection();
        for (int row : rows)
            list->item(row)->setSelected(true);
    }

    static bool searched(SearchWindow &window)
    {
        return waitFor([&] { return window.runningSearches() == 0; });
    }

    QTemporaryDir m_serverRoot;
};

TEST_F(SearchFlowTest, SnmpSearchListsThePrintersThatAnswer)
{
    pointSnmpBackendAtFleet();
    SearchWindow window(nullptr, QString(), QString());
    window.show();
    EXPECT_TRUE(child<QLabel>(&window, "loadingLabel")->isVisible()) << "while the search runs";
    EXPECT_TRUE(saveScreenshot(&window, "search-running"));
    ASSERT_TRUE(searched(window));
    EXPECT_FALSE(child<QLabel>(&window, "loadingLabel")->isVisible());

    QStringList expected;
    for (const FleetPrinter &p : s_fleet.printers) {
        if (p.expectedFlag("snmp_backend_lists"))
            expected << QString::fromStdString(p.snmpObjects[kHrDeviceDescr][1].asString()) + " (" + p.ip + ")";
    }
    ASSERT_GE(expected.size(), 10);
    QStringList found = entries(window);
    found.sort();
    expected.sort();
    EXPECT_EQ(found, expected);
    auto *list = child<QListWidget>(&window, "listWidget");
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    const QString first = list->item(0)->text();
    EXPECT_EQ(list->item(0)->data(Qt::UserRole).toString(),
              first.left(first.lastIndexOf(" (")) + "||" + first.section('(', -1).chopped(1));
    select(window, {1, 3});
    EXPECT_TRUE(saveScreenshot(&window, "search-results"));

    // A refresh searches again; a printer found twice is listed once.
    child<QPushButton>(&window, "refreshButton")->click();
    EXPECT_TRUE(entries(window).isEmpty()) << "the list starts afresh";
    child<QPushButton>(&window, "refreshButton")->click();
    EXPECT_EQ(window.runningSearches(), 2);
    ASSERT_TRUE(searched(window));
    found = entries(window);
    found.sort();
    EXPECT_EQ(found, expected);
}

TEST_F(SearchFlowTest, RangeSearchAddsTheChosenPrintersInOneGo)
{
    SearchWindow window(nullptr, ip("hp"), ip("toshiba").section('.', 3));
    window.show();
    ASSERT_TRUE(searched(window));
    ASSERT_EQ(entries(window), (QStringList{"HP LaserJet Pro M404dn (" + ip("hp") + ")",
                                            "TOSHIBA e-STUDIO3015AC (" + ip("toshiba") + ")"}));
    select(window, {0, 1});
    child<QPushButton>(&window, "postButton")->click();
    EXPECT_FALSE(child<QPushButton>(&window, "postButton")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(&window, "cancelButton")->isEnabled());
    EXPECT_EQ(labelText(&window, "statusTxt"), "正在添加打印机，请稍候...");
    ASSERT_TRUE(waitFor([&] { return !window.isVisible(); }));
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(storedNames(),
              (QStringList{"HP LaserJet Pro M404dn@" + ip("hp"), "TOSHIBA e-STUDIO3015AC@" + ip("toshiba")}));
}

TEST_F(SearchFlowTest, AFailureStopsTheRestAndKeepsTheWindowOpen)
{
    SearchWindow window(nullptr, ip("hp"), ip("xerox").section('.', 3));
    window.show();
    ASSERT_TRUE(searched(window));
    ASSERT_EQ(entries(window).size(), 3);
    Json::Value replies(Json::arrayValue);
    replies.append("OK:");
    replies.append("FAIL:DeviceLimit");
    ASSERT_TRUE(service().script("license/addDevice", replies));
    // Chosen in another order than listed: the list order decides.
    select(window, {2, 0, 1});
    child<QPushButton>(&window, "postButton")->click();
    ASSERT_TRUE(waitFor([&] { return child<QPushButton>(&window, "postButton")->isEnabled(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(child<QPushButton>(&window, "cancelButton")->isEnabled());
    EXPECT_EQ(labelText(&window, "statusTxt"), QObject::tr("Add printer failed: ") + "FAIL:DeviceLimit");
    EXPECT_EQ(storedNames(), QStringList{"HP LaserJet Pro M404dn@" + ip("hp")});
    EXPECT_EQ(requests("license/addDevice"), 2u) << "the third is not tried";

    // Adding again meets the first one, now listed.
    child<QPushButton>(&window, "postButton")->click();
    ASSERT_TRUE(waitFor([&] { return child<QPushButton>(&window, "postButton")->isEnabled(); }));
    EXPECT_EQ(labelText(&window, "statusTxt"), QObject::tr("Printer already exist."));
    EXPECT_EQ(child<QLabel>(&window, "statusTxt")->styleSheet(), markTagStyle(MarkTag::Error));
    EXPECT_TRUE(saveScreenshot(&window, "search-add-error"));
}

TEST_F(SearchFlowTest, NothingChosenIsAnsweredWithAWarning)
{
    // A range whose end lies below its start tries no address.
    SearchWindow window(nullptr, ip("toshiba"), ip("hp").section('.', 3));
    window.show();
    ASSERT_TRUE(searched(window));
    EXPECT_TRUE(entries(window).isEmpty());
    const auto box = answerNextBox();
    child<QPushButton>(&window, "postButton")->click();
    EXPECT_TRUE(box->shown);
    EXPECT_EQ(box->title, QObject::tr("Warning"));
    EXPECT_EQ(box->text, QObject::tr("Please choose printer!"));
    EXPECT_TRUE(child<QPushButton>(&window, "postButton")->isEnabled());
    EXPECT_EQ(requests("license/addDevice"), 0u);
}

// A device whose info text holds the separator of the entries' data is still
// added under that text.
TEST_F(SearchFlowTest, ANameWithTheSeparatorIsAdded)
{
    SearchWindow window(nullptr, ip("toshiba"), ip("hp").section('.', 3));
    window.show();
    ASSERT_TRUE(searched(window));
    window.showList({PrinterItem{QStringLiteral("Lab||2F"), ip("hp")}});
    ASSERT_EQ(entries(window), QStringList{"Lab||2F (" + ip("hp") + ")"});
    select(window, {0});
    child<QPushButton>(&window, "postButton")->click();
    ASSERT_TRUE(waitFor([&] { return !window.isVisible(); }));
    EXPECT_EQ(storedNames(), QStringList{"Lab||2F@" + ip("hp")});
}

// ---------------------------------------------------------------- properties: a new address

class PropertiesFlowTest : public DialogFlowTest
{
protected:
    // Confirms `address` (and `name`) in the properties of `open`; returns once
    // the dialog closed or the check answered with a warning.
    std::shared_ptr<BoxSeen> readdress(properties &dialog, const QString &address, const QString &name)
    {
        typeAddress(&dialog, kPropertyFields, address);
        child<QLineEdit>(&dialog, "nameEdit")->setText(name);
        auto box = answerNextBox();
        auto *confirm = child<QPushButton>(&dialog, "pushButton");
        confirm->click();
        EXPECT_FALSE(confirm->isEnabled()) << "one check at a time";
        EXPECT_TRUE(waitFor([&] { return !dialog.isVisible() || box->shown; }));
        EXPECT_TRUE(waitFor([&] { return !dialog.isVisible() || confirm->isEnabled(); }));
        return box;
    }
};

TEST_F(PropertiesFlowTest, NewAddressOfNoStoredPrinterTakesTheProbedRecord)
{
    const Printer office = seed(QStringLiteral("Office"), ip("hp"), QStringLiteral("Y"));
    seed(QStringLiteral("Lab"), ip("toshiba"));
    ASSERT_TRUE(service().reset());

    properties dialog(nullptr, QStringLiteral("Office"));
    dialog.show();
    EXPECT_TRUE(saveScreenshot(&dialog, "properties"));
    // The mode chosen here does not survive a new address: the probe decides.
    child<QComboBox>(&dialog, "comboBox")->setCurrentIndex(4);
    const auto box = readdress(dialog, ip("xerox"), QStringLiteral("Office 2"));
    EXPECT_FALSE(box->shown);
    EXPECT_FALSE(dialog.isVisible());

    const QList<Printer> stored = util::getPrinters();
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0].deviceName, "Office 2") << "in the edited printer's place";
    EXPECT_EQ(stored[0].deviceIpAddress, ip("xerox"));
    EXPECT_EQ(stored[0].deviceModel, "Xerox VersaLink C405");
    EXPECT_EQ(stored[0].deviceDocType, "dirpdf");
    EXPECT_NE(stored[0].deviceId, office.deviceId);
    EXPECT_NE(stored[0].isFav, "Y") << "the favourite mark goes with the old record";
    EXPECT_EQ(stored[1].deviceName, "Lab");
    EXPECT_EQ(requests("license/addDevice") + requests("license/removeDevice"), 0u);
}

TEST_F(PropertiesFlowTest, NewAddressOfAnotherStoredPrinterOverwritesBoth)
{
    seed(QStringLiteral("Office"), ip("hp"));
    seed(QStringLiteral("Lab"), ip("toshiba"));
    seed(QStringLiteral("Hall"), ip("xerox"));
    ASSERT_TRUE(service().reset());

    properties dialog(nullptr, QStringLiteral("Office"));
    dialog.show();
    QString message;
    whenShown<OverwritePrinter>([&](OverwritePrinter *overwrite) {
        message = labelText(overwrite, "msgLabel");
        child<QPushButton>(overwrite, "overwriteBtn")->click();
    });
    const auto box = readdress(dialog, ip("toshiba"), QStringLiteral("Office"));
    EXPECT_FALSE(box->shown);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(message, QObject::tr("Device already exist. Ignore or overwrite it.\n") + ip("toshiba"));
    EXPECT_EQ(storedNames(), (QStringList{"Hall@" + ip("xerox"), "Office@" + ip("toshiba")}));
    EXPECT_EQ(util::getPrinter(QStringLiteral("Office")).deviceModel, "TOSHIBA e-STUDIO3015AC");
    EXPECT_EQ(requests("license/removeDevice"), 2u) << "the printer there and the edited one's old entry";
    EXPECT_EQ(requests("license/addDevice"), 1u);
}

TEST_F(PropertiesFlowTest, NewAddressThatDoesNotAnswerChangesNothing)
{
    seed(QStringLiteral("Office"), ip("hp"));
    seed(QStringLiteral("Ghost"), silentAddress());
    const QStringList before = storedNames();
    for (const QString &address : {s_fleet.prefix + "201", silentAddress()}) {
        properties dialog(nullptr, QStringLiteral("Office"));
        dialog.show();
        const auto box = readdress(dialog, address, QStringLiteral("Office"));
        EXPECT_TRUE(box->shown) << address.toStdString();
        EXPECT_EQ(box->title, "提示");
        EXPECT_EQ(box->text, QObject::tr("Cannot connect printer!"));
        EXPECT_TRUE(dialog.isVisible()) << "the user may try again";
        EXPECT_TRUE(child<QPushButton>(&dialog, "pushButton")->isEnabled());
        EXPECT_EQ(storedNames(), before);
    }
}

// ---------------------------------------------------------------- the chain's first two steps

TEST_F(DialogFlowTest, WayAndRangeDialogsAsTheyLook)
{
    AddPrinterMethod way;
    EXPECT_TRUE(saveScreenshot(&way, "add-method"));
    addprinterrange range;
    typeAddress(&range, {"editStart", "editStart_2", "editStart_3", "editStart_4"}, ip("hp"));
    QTest::keyClicks(child<QLineEdit>(&range, "editEnd_4"), "254");
    EXPECT_TRUE(saveScreenshot(&range, "add-range"));
    if (!m_chinese)
        std::cout << "note: no zh_CN catalogue in the resources; run-time texts show their source form\n";
}

} // namespace
