// The run-time texts of the add-printer chain and the overwrite dialog find
// their entries in the zh_CN catalogue: the source texts and contexts must
// match the catalogue exactly, or the user reads English.

#include "ui/AddPrinterMethod.h"
#include "ui/OverwritePrinter.h"

#include "DialogTestSupport.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using namespace tavrin::test;

TEST(DialogTexts, EverySourceTextHasItsChineseEntry)
{
    initTavrinResources();
    QTranslator catalogue;
    if (!catalogue.load(QStringLiteral(":lang/tavrinapp_zh_CN.qm")))
        GTEST_SKIP() << "no zh_CN catalogue among the resources";
    struct Row {
        const char *context;
        const char *source;
        const char *chinese;
    };
    const Row rows[] = {
        {"QObject", "Add printer failed: ", "添加打印机失败： "},
        {"QObject", "Cannot connect printer!", "无法连接打印机。"},
        {"QObject", "Device already exist. Ignore or overwrite it.\n", "设备已经存在。忽略或者覆盖它。"},
        {"QObject", "Driver already exist", "打印机已存在"},
        {"QObject", "Please choose printer!", "请选择一个打印机。"},
        {"QObject", "Please fill all info!", "请输入相关信息"},
        {"QObject", "Print through USB not supported temporarily.", "暂不支持USB打印机"},
        {"QObject", "Printer Connect OK!", "打印机在线"},
        {"QObject", "Printer already exist.", "打印机已存在。"},
        {"QObject", "Warning", "警告"},
        {"QObject", "ip invalid", "IP 地址不正确。"},
        {"QObject", "start must lesser than end", "IP 起始地址必须小于结束地址。"},
        {"OverwritePrinter", "Ignore", "忽略"},
        {"OverwritePrinter", "Overwrite", "覆盖"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(catalogue.translate(row.context, row.source), QString::fromUtf8(row.chinese)) << row.source;
}

TEST(DialogTexts, DialogsShowTheChineseTexts)
{
    if (!installChineseCatalogue())
        GTEST_SKIP() << "no zh_CN catalogue among the resources";
    AddPrinterMethod way;
    EXPECT_EQ(labelText(&way, "tip_msg"), "暂不支持USB打印机");
    OverwritePrinter overwrite(Printer{});
    EXPECT_EQ(overwrite.windowTitle(), "打印机已存在");
    EXPECT_EQ(overwrite.findChild<QPushButton *>(QStringLiteral("cancelBtn"))->text(), "忽略");
    EXPECT_EQ(overwrite.findChild<QPushButton *>(QStringLiteral("overwriteBtn"))->text(), "覆盖");
}

} // namespace
