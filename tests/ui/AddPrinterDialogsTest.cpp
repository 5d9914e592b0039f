// The add-printer chain's own logic, without any printer: the way dialog, the
// range dialog's validation, the single-address window's input checks and the
// status line.

#include "ui/AddPrinterMethod.h"
#include "ui/AddPrinterWindow.h"
#include "ui/MarkTag.h"
#include "ui/addprinterrange.h"

#include "DialogTestSupport.h"

#include <QLineEdit>
#include <QMovie>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using namespace tavrin::test;

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST(AddPrinterMethod, EachButtonChoosesItsWayAndCloses)
{
    struct Row {
        const char *button;
        int way;
    };
    for (const Row row : {Row{"cmdAuto", 1}, Row{"cmdRange", 2}, Row{"cmdOne", 3}}) {
        AddPrinterMethod dialog;
        whenShown<AddPrinterMethod>([&](AddPrinterMethod *d) { child<QPushButton>(d, row.button)->click(); });
        EXPECT_EQ(dialog.exec(), QDialog::Accepted) << row.button;
        EXPECT_EQ(dialog.way, row.way) << row.button;
    }
}

TEST(AddPrinterMethod, ClosedWithoutChoiceLeavesWayZero)
{
    AddPrinterMethod dialog;
    whenShown<AddPrinterMethod>([](AddPrinterMethod *d) { QTest::keyClick(d, Qt::Key_Escape); });
    dialog.exec();
    EXPECT_EQ(dialog.way, 0);
}

TEST(AddPrinterMethod, Form)
{
    AddPrinterMethod dialog;
    EXPECT_EQ(dialog.windowTitle(), "选择添加设备方式");
    EXPECT_EQ(dialog.minimumSize(), QSize(320, 229));
    EXPECT_EQ(dialog.maximumSize(), QSize(320, 229));
    EXPECT_EQ(child<QPushButton>(&dialog, "cmdAuto")->text(), "自动搜索");
    EXPECT_EQ(child<QPushButton>(&dialog, "cmdRange")->text(), "指定IP地址段搜索");
    EXPECT_EQ(child<QPushButton>(&dialog, "cmdOne")->text(), "指定IP地址");
    EXPECT_EQ(dialog.styleSheet(), "QPushButton {\ntext-align:left;\npadding-left:20px;\n}");
    auto *tip = child<QLabel>(&dialog, "tip_msg");
    EXPECT_EQ(tip->text(), QObject::tr("Print through USB not supported temporarily."));
    EXPECT_EQ(tip->styleSheet(), "QLabel { color: red}");
    EXPECT_EQ(tip->font().pixelSize(), 14);
}

// ---------------------------------------------------------------- range dialog

struct RangeRow {
    const char *what;
    QStringList start; // typed into the four start fields, key by key
    QString endOctet;  // typed into editEnd_4
    QString warning;   // the Warn text expected, empty when the range is taken
    QString keptStart;
    QString keptEnd;
};

void PrintTo(const RangeRow &row, std::ostream *os)
{
    *os << row.what;
}

class RangeValidation : public ::testing::TestWithParam<RangeRow>
{
};

TEST_P(RangeValidation, ConfirmsOrWarns)
{
    const RangeRow &row = GetParam();
    addprinterrange dialog;
    const char *startFields[] = {"editStart", "editStart_2", "editStart_3", "editStart_4"};
    for (int i = 0; i < 4; ++i)
        QTest::keyClicks(child<QLineEdit>(&dialog, startFields[i]), row.start.value(i));
    QTest::keyClicks(child<QLineEdit>(&dialog, "editEnd_4"), row.endOctet);

    const auto box = answerNextBox();
    dialog.show();
    child<QPushButton>(&dialog, "okBtn")->click();
    if (row.warning.isEmpty()) {
        EXPECT_FALSE(box->shown);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.startAddress(), row.keptStart);
        EXPECT_EQ(dialog.endOctet(), row.keptEnd);
    } else {
        EXPECT_TRUE(box->shown);
        EXPECT_EQ(box->title, QObject::tr("Warn"));
        EXPECT_EQ(box->text, QObject::tr(row.warning.toUtf8().constData()));
        EXPECT_TRUE(dialog.isVisible()) << "stays open for another try";
        EXPECT_TRUE(dialog.startAddress().isEmpty());
    }
}

const RangeRow kRangeRows[] = {
    {"plain range", {"192", "168", "1", "10"}, "20", "", "192.168.1.10", "20"},
    {"whole network", {"10", "0", "0", "1"}, "255", "", "10.0.0.1", "255"},
    {"end below start", {"192", "168", "1", "200"}, "100", "start must lesser than end", "", ""},
    {"one address is not a range", {"192", "168", "1", "50"}, "50", "start must lesser than end", "", ""},
    {"empty start field", {"", "168", "1", "10"}, "20", "ip invalid", "", ""},
    {"empty end octet", {"192", "168", "1", "10"}, "", "ip invalid", "", ""},
    // The validator lets 256 stand while typing (it could still become valid).
    {"octet above 255", {"192", "168", "1", "256"}, "20", "ip invalid", "", ""},
    {"letters are not taken", {"19x2", "1a68", "1", "5"}, "9", "", "192.168.1.5", "9"},
    // QHostAddress would read 010 as octal 8; the user means ten.
    {"leading zero is decimal", {"192", "168", "010", "5"}, "09", "", "192.168.10.5", "9"},
};

INSTANTIATE_TEST_SUITE_P(Rows, RangeValidation, ::testing::ValuesIn(kRangeRows),
                         [](const ::testing::TestParamInfo<RangeRow> &info) {
                             std::string name;
                             for (const char *c = info.param.what; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(RangeDialog, EndFollowsTheStartsFirstThreeOctets)
{
    addprinterrange dialog;
    EXPECT_EQ(dialog.windowTitle(), "指定IP地址段搜索");
    QTest::keyClicks(child<QLineEdit>(&dialog, "editStart"), "10");
    EXPECT_EQ(child<QLineEdit>(&dialog, "editEnd")->text(), "10") << "at once, while typing";
    QTest::keyClicks(child<QLineEdit>(&dialog, "editStart_2"), "20");
    QTest::keyClicks(child<QLineEdit>(&dialog, "editStart_3"), "30");
    QTest::keyClicks(child<QLineEdit>(&dialog, "editStart_4"), "40");
    EXPECT_EQ(child<QLineEdit>(&dialog, "editEnd_2")->text(), "20");
    EXPECT_EQ(child<QLineEdit>(&dialog, "editEnd_3")->text(), "30");
    EXPECT_EQ(child<QLineEdit>(&dialog, "editEnd_4")->text(), "") << "the end's own octet is the user's";
    for (const char *name : {"editEnd", "editEnd_2", "editEnd_3"})
        EXPECT_FALSE(child<QLineEdit>(&dialog, name)->isEnabled()) << name;
    EXPECT_TRUE(child<QLineEdit>(&dialog, "editEnd_4")->isEnabled());
    for (const char *name :
         {"editStart", "editStart_2", "editStart_3", "editStart_4", "editEnd", "editEnd_2", "editEnd_3", "editEnd_4"})
        EXPECT_EQ(child<QLineEdit>(&dialog, name)->maxLength(), 3) << name;
    QTest::keyClicks(child<QLineEdit>(&dialog, "editEnd_4"), "1234");
    EXPECT_EQ(child<QLineEdit>(&dialog, "editEnd_4")->text(), "123");
}

TEST(RangeDialog, CancelKeepsNothing)
{
    addprinterrange dialog;
    QTest::keyClicks(child<QLineEdit>(&dialog, "editStart"), "192");
    dialog.show();
    child<QPushButton>(&dialog, "cancelBtn")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.startAddress().isEmpty());
    EXPECT_TRUE(dialog.endOctet().isEmpty());
}

// ---------------------------------------------------------------- single address

TEST(AddPrinterWindow, MissingInputIsAnsweredWithoutStartingAnAdd)
{
    struct Row {
        const char *what;
        QStringList address;
        QString name;
    };
    const Row rows[] = {
        {"no name", {"198", "18", "0", "10"}, ""},
        {"first field empty", {"", "18", "0", "10"}, "Office"},
        {"last field empty", {"198", "18", "0", ""}, "Office"},
    };
    for (const Row &row : rows) {
        AddPrinterWindow window;
        const char *fields[] = {"editStart", "editStart_2", "editStart_3", "editStart_4"};
        for (int i = 0; i < 4; ++i)
            child<QLineEdit>(&window, fields[i])->setText(row.address[i]);
        child<QLineEdit>(&window, "nameEdit")->setText(row.name);
        window.show();
        child<QPushButton>(&window, "addBtn")->click();
        EXPECT_EQ(labelText(&window, "statusTxt"), QObject::tr("Please fill all info!")) << row.what;
        EXPECT_EQ(child<QLabel>(&window, "statusTxt")->styleSheet(), markTagStyle(MarkTag::Error)) << row.what;
        EXPECT_TRUE(child<QPushButton>(&window, "addBtn")->isEnabled()) << row.what << ": no add is running";
        EXPECT_TRUE(window.isVisible()) << row.what;
    }
}

TEST(AddPrinterWindow, AddressIsTheFieldsLeftToRight)
{
    AddPrinterWindow window;
    const char *fields[] = {"editStart", "editStart_2", "editStart_3", "editStart_4"};
    const char *octets[] = {"198", "18", "7", "21"};
    for (int i = 0; i < 4; ++i) {
        auto *field = child<QLineEdit>(&window, fields[i]);
        QTest::keyClicks(field, octets[i]);
        EXPECT_EQ(field->maxLength(), 3);
        EXPECT_EQ(field->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    EXPECT_EQ(window.address(), "198.18.7.21");
    EXPECT_EQ(window.windowTitle(), "指定IP地址");
    EXPECT_EQ(window.minimumSize(), QSize(532, 190));
    EXPECT_EQ(child<QLineEdit>(&window, "nameEdit")->placeholderText(), "请输入打印机名称");
}

// ---------------------------------------------------------------- status line

TEST(MarkTag, StatusLineShowsTextStyleAndIconOfTheTag)
{
    AddPrinterWindow window;
    window.show();
    auto *icon = child<QLabel>(&window, "statusIcon");
    auto *text = child<QLabel>(&window, "statusTxt");
    EXPECT_FALSE(icon->isVisible()) << "hidden until the first status";
    EXPECT_FALSE(text->isVisible());
    struct Row {
        MarkTag tag;
        const char *style;
        const char *picture;
    };
    const Row rows[] = {
        {MarkTag::Error, "QLabel{color: rgb(227, 142, 51);}", ":/rc/status_error.png"},
        {MarkTag::Ok, "QLabel{color: rgb(233, 36, 62);}", ":/rc/status_ok.png"},
        {MarkTag::Busy, "QLabel{color: rgb(132, 133, 135);}", ":/rc/status_process.gif"},
    };
    for (const Row &row : rows) {
        window.markStatus(row.tag, QString::fromLatin1(row.picture));
        EXPECT_TRUE(icon->isVisible());
        EXPECT_TRUE(text->isVisible());
        EXPECT_EQ(text->text(), row.picture);
        EXPECT_EQ(text->styleSheet(), row.style);
        ASSERT_NE(icon->movie(), nullptr);
        EXPECT_EQ(icon->movie()->fileName(), row.picture);
    }
    // Any other value only restarts the movie.
    window.markStatus(static_cast<MarkTag>(7), "ignored");
    EXPECT_EQ(text->text(), ":/rc/status_process.gif");
    EXPECT_EQ(icon->movie()->fileName(), ":/rc/status_process.gif");
}

} // namespace
