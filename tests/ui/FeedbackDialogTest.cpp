// The feedback dialog against the test service: its checks and messages in
// order, the log archive going up through dep3 under the name the report
// carries, and what the reply does to the dialog.

#include "ui/Feedback.h"

#include "cloud/CloudFixture.h"
#include "cloud/Itf.h"
#include "platform/Command.h"
#include "storage/Config.h"
#include "ui/CloudUiSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

using namespace tavrin::cloudui;
using tavrin::test::CloudFixture;

class FeedbackDialog : public CloudFixture
{
protected:
    void SetUp() override
    {
        CloudFixture::SetUp();
        initTavrinResources();
        config::clientId = QStringLiteral("3f1c2b7e-0d4a-4c55-9a1e-7b2f6c8d9e01");
        dialog = std::make_unique<Feedback>();
        dialog->show();
    }

    template <typename T> T *w(const char *name)
    {
        T *found = dialog->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void fill(const QString &description, int type, const QString &device, const QString &email,
              const QString &phone = QString())
    {
        w<QComboBox>("comboBox")->setCurrentIndex(type);
        w<QPlainTextEdit>("plainTextEdit")->setPlainText(description);
        w<QLineEdit>("deviceEdit")->setText(device);
        w<QLineEdit>("contactEdit")->setText(phone);
        w<QLineEdit>("emailEdit")->setText(email);
    }

    // Presses "提交"; the message box it brought up, if any.
    BoxSeen submit()
    {
        return answerBoxOf([this] { QTest::mouseClick(w<QPushButton>("postButton"), Qt::LeftButton); });
    }

    void writeLogs()
    {
        ASSERT_TRUE(QDir().mkpath(config::fileDir + QStringLiteral("/logs")));
        QFile log(config::fileDir + QStringLiteral("/logs/app.log"));
        ASSERT_TRUE(log.open(QIODevice::WriteOnly));
        log.write("2024-01-02 03:04:05.000 INFO  [1] [config::load@1] cipher\n");
    }

    std::unique_ptr<Feedback> dialog;
};

TEST_F(FeedbackDialog, FormAndTypeSwitch)
{
    EXPECT_EQ(dialog->windowTitle(), "问题反馈");
    auto *type = w<QComboBox>("comboBox");
    ASSERT_EQ(type->count(), 2);
    EXPECT_EQ(type->itemText(0), "问题");
    EXPECT_EQ(type->itemText(1), "建议");
    EXPECT_EQ(type->currentIndex(), 0);
    EXPECT_TRUE(w<QCheckBox>("checkBox")->isChecked());
    EXPECT_EQ(w<QCheckBox>("checkBox")->text(), "上传日志信息");
    EXPECT_EQ(w<QLineEdit>("deviceEdit")->maxLength(), 20);
    EXPECT_EQ(w<QLineEdit>("contactEdit")->maxLength(), 80);
    EXPECT_EQ(w<QLineEdit>("emailEdit")->maxLength(), 80);
    EXPECT_EQ(w<QPlainTextEdit>("plainTextEdit")->placeholderText(), "请输入您的具体反馈内容（200字以内）");
    EXPECT_EQ(w<QPushButton>("postButton")->text(), "提交");
    EXPECT_EQ(w<QPushButton>("closeButton")->text(), "取消");
    EXPECT_TRUE(w<QLabel>("deviceStar")->isVisible());

    type->setCurrentIndex(1);
    EXPECT_FALSE(w<QCheckBox>("checkBox")->isChecked());
    EXPECT_FALSE(w<QLabel>("deviceStar")->isVisible());
    type->setCurrentIndex(0);
    EXPECT_TRUE(w<QCheckBox>("checkBox")->isChecked());
    EXPECT_TRUE(w<QLabel>("deviceStar")->isVisible());

    QTest::mouseClick(w<QPushButton>("closeButton"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(service().requests("license/feedback").size(), 0u);
}

TEST_F(FeedbackDialog, ChecksSpeakInOrderAndSendNothing)
{
    const QString d200(200, QChar(0x7eb8));
    const struct {
        const char *what;
        QString description;
        int type;
        QString device, email;
        QString message;
    } cases[] = {
        {"201 characters", QString(201, QLatin1Char('x')), 0, "", "", "反馈描述超出范围，请简化您的描述"},
        {"problem without device", d200, 0, "", "a@b.cn", "请输入必填信息"},
        {"problem without description", "", 0, "M", "a@b.cn", "请输入必填信息"},
        {"suggestion without description", "", 1, "M", "a@b.cn", "请输入必填信息"},
        {"no e-mail", "jam", 0, "M", "", "请输入必填信息"},
        {"e-mail without @", "jam", 0, "M", "a.b.cn",
         QCoreApplication::translate("QObject", "Email address format is wrong.")},
        {"e-mail ending in @", "jam", 1, "", "ab@",
         QCoreApplication::translate("QObject", "Email address format is wrong.")},
    };
    for (const auto &c : cases) {
        fill(c.description, c.type, c.device, c.email);
        const auto seen = submit();
        ASSERT_TRUE(seen.shown) << c.what;
        EXPECT_EQ(seen.text, c.message) << c.what;
        EXPECT_EQ(seen.title, "提示") << c.what;
        EXPECT_TRUE(dialog->isVisible()) << c.what;
    }
    EXPECT_EQ(service().requests("license/feedback").size(), 0u);
    EXPECT_EQ(store().transfers(), QStringList());
}

// The one translated message of the dialog finds its entry in the catalogue.
TEST_F(FeedbackDialog, EmailMessageInChinese)
{
    QTranslator zh;
    ASSERT_TRUE(zh.load(QStringLiteral(":lang/tavrinapp_zh_CN.qm")));
    QCoreApplication::installTranslator(&zh);
    fill(QStringLiteral("卡纸"), 0, QStringLiteral("M"), QStringLiteral("user.example.com"));
    const BoxSeen seen = submit();
    QCoreApplication::removeTranslator(&zh);
    EXPECT_EQ(seen.text, "邮箱地址格式错误");
}

TEST_F(FeedbackDialog, ProblemReportCarriesTheUploadedArchive)
{
    writeLogs();
    const QString d200(200, QChar(0x7eb8));
    fill(d200, 0, QStringLiteral("bizhub C300i"), QStringLiteral("user@example.com"), QStringLiteral("010-12345678"));
    const auto seen = submit();
    EXPECT_FALSE(seen.shown) << seen.text.toStdString();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    const Json::Value got = service().requests("license/feedback");
    ASSERT_EQ(got.size(), 1u);
    const Json::Value payload = got[0]["payload"];
    const QString name = QString::fromStdString(payload["logFileName"].asString());
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral("^3f1c2b7e-0d4a-4c55-9a1e-7b2f6c8d9e01-\\d{8}-\\d\\d:\\d\\d:\\d\\d\\.tar\\.gz$"))
                    .match(name)
                    .hasMatch())
        << name.toStdString();
    Json::Value expected(Json::objectValue);
    expected["contactInfo"] = "010-12345678";
    expected["description"] = d200.toStdString();
    expected["feedbackType"] = "ISSUE";
    expected["logFileName"] = name.toStdString();
    expected["deviceInfo"] = "bizhub C300i";
    expected["emailInfo"] = "user@example.com";
    EXPECT_EQ(payload, expected);
    EXPECT_EQ(got[0]["plain"].asString(), expected.toStyledString());

    // The store received the archive under that very name, and it holds the logs.
    EXPECT_EQ(store().transfers(), QStringList({QStringLiteral("PUT ") + name}));
    bool found = false;
    const QByteArray archive = store().get(name.toStdString(), &found);
    ASSERT_TRUE(found);
    QTemporaryDir tmp;
    QFile copy(tmp.filePath(QStringLiteral("logs.tar.gz")));
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(archive);
    copy.close();
    const util::CommandResult list = util::runCommand(QStringLiteral("tar"), {QStringLiteral("-tzf"), copy.fileName()});
    EXPECT_TRUE(list.output.contains(config::fileDir.mid(1) + QStringLiteral("/logs/app.log")))
        << list.output.toStdString();
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/") + name)); // removed after the upload
}

TEST_F(FeedbackDialog, SuggestionWithoutLogsStillNamesTheArchive)
{
    writeLogs();
    fill(QStringLiteral("请增加双面打印"), 1, QString(), QStringLiteral("@example.com"));
    ASSERT_FALSE(w<QCheckBox>("checkBox")->isChecked());
    const auto seen = submit();
    EXPECT_FALSE(seen.shown);
    EXPECT_FALSE(dialog->isVisible());
    const Json::Value got = service().requests("license/feedback");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0]["payload"]["feedbackType"].asString(), "SUGGESTION");
    EXPECT_EQ(got[0]["payload"]["deviceInfo"].asString(), "");
    EXPECT_TRUE(QString::fromStdString(got[0]["payload"]["logFileName"].asString()).endsWith(".tar.gz"));
    EXPECT_EQ(store().transfers(), QStringList());
}

// Any reply holding "OK" closes the dialog; any other keeps it open and says why.
TEST_F(FeedbackDialog, TheReplyDecides)
{
    w<QCheckBox>("checkBox")->setChecked(false);
    const struct {
        Json::Value reply; // null: nothing listens
        bool closes;
        QString message;
    } cases[] = {
        {"FAIL:busy", false, "您的反馈提交失败，详细信息（FAIL:busy）"},
        {"", false, "您的反馈提交失败，详细信息（）"},
        {"ok:lower case", false, "您的反馈提交失败，详细信息（ok:lower case）"},
        {Json::Value(), false, "您的反馈提交失败，详细信息（cerr:Couldn't connect to server, code:7）"},
        {"received, OK", true, QString()},
        {"OK:received", true, QString()},
    };
    for (const auto &c : cases) {
        dialog->show();
        fill(QStringLiteral("卡纸"), 0, QStringLiteral("M"), QStringLiteral("a@b.cn"));
        service().useForProgram();
        if (c.reply.isNull())
            Itf::_itf_url = tavrin::test::TestService::unreachableUrl();
        else
            ASSERT_TRUE(service().queue("license/feedback", c.reply.asString()));
        const auto seen = submit();
        EXPECT_EQ(seen.shown, !c.closes) << c.reply.toStyledString();
        EXPECT_EQ(seen.text, c.message) << c.reply.toStyledString();
        EXPECT_EQ(dialog->isVisible(), !c.closes) << c.reply.toStyledString();
    }
}

TEST_F(FeedbackDialog, Screenshot)
{
    fill(QStringLiteral("打印到 C300i 时第二页起卡纸，换纸盒后仍然出现。"), 0, QStringLiteral("bizhub C300i"),
         QStringLiteral("user@example.com"), QStringLiteral("010-12345678"));
    EXPECT_TRUE(saveScreenshot(dialog.get(), QStringLiteral("feedback")));
}

} // namespace
