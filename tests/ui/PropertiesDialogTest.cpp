// The properties dialog's edits that stay on this machine: rename, delivery
// mode and the input checks. Re-addressing probes a printer and is tested
// against the simulated ones (DialogFlowTest).

#include "ui/OverwritePrinter.h"
#include "ui/properties.h"

#include "storage/Config.h"
#include "storage/PrinterStore.h"
#include "storage/ProtectedFile.h"

#include "DialogTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace tavrin::test;

Printer stored(const QString &name, const QString &ip, const QString &mode)
{
    Printer p;
    p.deviceId = config::newGUID();
    p.deviceName = name;
    p.deviceIpAddress = ip;
    p.deviceModel = QStringLiteral("HP LaserJet Pro M404dn");
    p.deviceDocType = mode;
    p.isFav = QStringLiteral("Y");
    p.m_modified_time = 1700000000000;
    return p;
}

class PropertiesDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        config::_depP = m_dir.filePath(QStringLiteral("alice_depP"));
        m_office = stored(QStringLiteral("Office"), QStringLiteral("198.18.0.10"), QStringLiteral("pdf"));
        m_lab = stored(QStringLiteral("Lab"), QStringLiteral("198.18.0.11"), QStringLiteral("Unknow"));
        m_broken = stored(QStringLiteral("Broken"), QStringLiteral("198.18.0"), QStringLiteral("DIRPDF"));
        Json::Value list(Json::arrayValue);
        for (const Printer &p : {m_office, m_lab, m_broken})
            list.append(p.toJson());
        config::saveSecureJson(list, config::_depP);
    }

    static QLineEdit *field(QWidget *dialog, const char *name)
    {
        return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
    }

    QTemporaryDir m_dir;
    Printer m_office;
    Printer m_lab;
    Printer m_broken;
};

TEST_F(PropertiesDialogTest, OpensWithTheStoredRecord)
{
    struct Row {
        const char *name;
        QStringList octets;
        int mode;
    };
    const Row rows[] = {
        {"Office", {"198", "18", "0", "10"}, 1},
        {"Lab", {"198", "18", "0", "11"}, 5}, // "Unknow"
        {"Broken", {"", "", "", ""}, 5},      // three pieces; keys compare exactly
        {"Nobody", {"", "", "", ""}, 5},      // not stored
    };
    for (const Row &row : rows) {
        properties dialog(nullptr, QString::fromUtf8(row.name));
        EXPECT_EQ(dialog.windowTitle(), "打印机属性");
        EXPECT_EQ(dialog.minimumSize(), QSize(434, 240));
        EXPECT_EQ(field(&dialog, "nameEdit")->text(), QString(row.name == QLatin1String("Nobody") ? "" : row.name));
        const char *edits[] = {"edit1", "edit2", "edit3", "edit4"};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(field(&dialog, edits[i])->text(), row.octets[i]) << row.name << " " << edits[i];
            EXPECT_EQ(field(&dialog, edits[i])->maxLength(), 3);
        }
        auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("comboBox"));
        ASSERT_NE(combo, nullptr);
        ASSERT_EQ(combo->count(), 6);
        EXPECT_EQ(combo->itemText(0), "直送模式");
        EXPECT_EQ(combo->itemText(5), "暂不持支持");
        EXPECT_EQ(combo->currentIndex(), row.mode) << row.name;
    }
}

// One confirmation: what the user changed, the warning expected (empty when
// the dialog closes), and the stored list afterwards.
struct EditRow {
    const char *what;
    const char *open;
    QString name;
    int mode;           // -1 leaves the combo alone
    QStringList octets; // empty leaves the address fields alone
    QString warning;
    QStringList namesAfter;
    QString modeAfter; // of the edited printer, found by its identifier
};

void PrintTo(const EditRow &row, std::ostream *os)
{
    *os << row.what;
}

class PropertiesEdit : public PropertiesDialogTest, public ::testing::WithParamInterface<EditRow>
{
};

TEST_P(PropertiesEdit, ConfirmStoresOrWarns)
{
    const EditRow &row = GetParam();
    const Printer before = util::getPrinter(QString::fromUtf8(row.open));
    properties dialog(nullptr, QString::fromUtf8(row.open));
    field(&dialog, "nameEdit")->setText(row.name);
    if (row.mode >= 0)
        dialog.findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentIndex(row.mode);
    if (!row.octets.isEmpty()) {
        const char *edits[] = {"edit1", "edit2", "edit3", "edit4"};
        for (int i = 0; i < 4; ++i) {
            field(&dialog, edits[i])->clear();
            QTest::keyClicks(field(&dialog, edits[i]), row.octets[i]);
        }
    }
    const auto box = answerNextBox();
    dialog.show();
    dialog.findChild<QPushButton *>(QStringLiteral("pushButton"))->click();

    EXPECT_EQ(box->shown, !row.warning.isEmpty());
    if (!row.warning.isEmpty()) {
        EXPECT_EQ(box->title, "提示");
        EXPECT_EQ(box->text, row.warning);
        EXPECT_TRUE(dialog.isVisible());
    } else {
        EXPECT_FALSE(dialog.isVisible());
    }
    QStringList names;
    Printer edited;
    for (const Printer &p : util::getPrinters()) {
        names << p.deviceName;
        if (p.deviceId == before.deviceId)
            edited = p;
    }
    EXPECT_EQ(names, row.namesAfter);
    EXPECT_EQ(edited.deviceDocType, row.modeAfter);
    EXPECT_EQ(edited.deviceIpAddress, before.deviceIpAddress) << "no new address was confirmed";
    EXPECT_EQ(edited.isFav, before.isFav);
    EXPECT_EQ(edited.m_modified_time, before.m_modified_time);
}

const QStringList kStoredNames{"Office", "Lab", "Broken"};

const EditRow kEditRows[] = {
    {"rename", "Office", "Front desk", -1, {}, "", {"Front desk", "Lab", "Broken"}, "pdf"},
    {"keep own name", "Office", "Office", -1, {}, "", kStoredNames, "pdf"},
    // Names compare exactly: another letter case is another name.
    {"rename in other letter case", "Office", "LAB", -1, {}, "", {"LAB", "Lab", "Broken"}, "pdf"},
    {"name of another printer", "Office", "Lab", -1, {}, "打印机名字已存在！", kStoredNames, "pdf"},
    {"empty name", "Office", "", 0, {}, "打印机名字不能为空！", kStoredNames, "pdf"},
    {"mode to the last entry", "Office", "Office", 5, {}, "", kStoredNames, "Unknow"},
    {"mode chosen only by the user", "Lab", "Lab", 4, {}, "", kStoredNames, "gs_urf"},
    {"mode and name together", "Lab", "Lab 2", 0, {}, "", {"Office", "Lab 2", "Broken"}, "dirpdf"},
    {"address that did not split", "Broken", "Broken", -1, {}, "IP 地址不能为空", kStoredNames, "DIRPDF"},
    {"one address field emptied",
     "Office",
     "Office",
     -1,
     {"198", "18", "", "10"},
     "IP 地址不能为空",
     kStoredNames,
     "pdf"},
};

INSTANTIATE_TEST_SUITE_P(Rows, PropertiesEdit, ::testing::ValuesIn(kEditRows),
                         [](const ::testing::TestParamInfo<EditRow> &info) {
                             std::string name;
                             for (const char *c = info.param.what; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST_F(PropertiesDialogTest, CancelChangesNothing)
{
    const std::string before = config::strFromSecureFile(config::_depP);
    properties dialog(nullptr, QStringLiteral("Office"));
    field(&dialog, "nameEdit")->setText(QStringLiteral("Other"));
    dialog.show();
    dialog.findChild<QPushButton *>(QStringLiteral("pushButton_2"))->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(config::strFromSecureFile(config::_depP), before);
}

TEST(OverwritePrinterForm, TitleButtonsAndMessage)
{
    OverwritePrinter dialog(Printer{});
    dialog.setMsgText(QObject::tr("Device already exist. Ignore or overwrite it.\n") + "198.18.0.10");
    EXPECT_EQ(dialog.windowTitle(), QObject::tr("Driver already exist"));
    EXPECT_EQ(dialog.minimumSize(), QSize(532, 190));
    auto *ignore = dialog.findChild<QPushButton *>(QStringLiteral("cancelBtn"));
    auto *overwrite = dialog.findChild<QPushButton *>(QStringLiteral("overwriteBtn"));
    ASSERT_TRUE(ignore && overwrite);
    EXPECT_EQ(ignore->text(), QCoreApplication::translate("OverwritePrinter", "Ignore"));
    EXPECT_EQ(overwrite->text(), QCoreApplication::translate("OverwritePrinter", "Overwrite"));
    EXPECT_EQ(ignore->font().pixelSize(), 14);
    EXPECT_EQ(overwrite->font().pixelSize(), 14);
    auto *message = dialog.findChild<QLabel *>(QStringLiteral("msgLabel"));
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().endsWith("198.18.0.10"));
    EXPECT_TRUE(message->wordWrap());
    EXPECT_TRUE(message->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_TRUE(message->textInteractionFlags() & Qt::TextSelectableByKeyboard);

    // Ignore changes nothing and reports nothing.
    dialog.show();
    ignore->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.getErrMsg().isEmpty());
}

} // namespace
