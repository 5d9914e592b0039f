// The job watcher end to end: lp submits to a real cupsd, the capture backend
// writes the spool files, the main window's watcher takes them, asks when there
// is a choice, and a worker delivers to a simulated printer in a network
// namespace; the result shows in the notification.

#include "ui/ChoosePrinter.h"
#include "ui/ErrorDetails.h"
#include "ui/Popup.h"
#include "ui/PrinterWindow.h"

#include "cloud/UpdateInfo.h"
#include "platform/Command.h"

#include "JobRig.h"
#include "WindowTestSupport.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace {

using namespace tavrin::test;

const QByteArray kDocument = "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n";

class JobWatcherTest : public WindowFixture
{
protected:
    static void SetUpTestSuite()
    {
        WindowFixture::SetUpTestSuite();
        if (::geteuid() != 0)
            return;
        s_rig = std::make_unique<JobRig>();
        if (!s_rig->start(config::fileDir))
            s_rigError = s_rig->error().toStdString();
    }
    static void TearDownTestSuite()
    {
        s_rig.reset();
        WindowFixture::TearDownTestSuite();
    }

    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "cupsd and network namespaces need root";
        WindowFixture::SetUp();
        ASSERT_TRUE(s_rigError.empty()) << s_rigError;
        // The rig's cupsd, and the account lp submits as.
        qputenv("CUPS_SERVER", s_rig->socket().toLocal8Bit());
        const passwd *me = ::getpwuid(::geteuid());
        qputenv("USER", me->pw_name);
        m_document = config::fileDir + QStringLiteral("/document.pdf");
        QFile f(m_document);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kDocument);
    }

    Printer office() const { return makePrinter("Office", s_rig->ip("office")); }
    Printer lab() const { return makePrinter("Lab", s_rig->ip("lab")); }

    void makeWindow()
    {
        m_window = std::make_unique<PrinterWindow>(nullptr, nullptr);
        QObject::connect(m_window.get(), &PrinterWindow::jobStarted, [this](QString doc, QString printer) {
            m_started << printer;
            (void)doc;
        });
    }

    void lp(const QString &title)
    {
        const util::CommandResult r =
            util::runCommand("lp", {"-d", "塔文", "-t", title, m_document}, util::CommandOptions());
        ASSERT_TRUE(r.ok()) << r.output.toStdString();
    }

    QStringList spoolFiles() const { return QDir(m_window->spoolDirectory()).entryList(QDir::Files); }

    bool waitForResults(int count)
    {
        return waitFor([&] { return m_window->notification() && m_window->notification()->messageCount() >= count; },
                       90000);
    }

    static inline std::unique_ptr<JobRig> s_rig;
    static inline std::string s_rigError;
    std::unique_ptr<PrinterWindow> m_window;
    QStringList m_started;
    QString m_document;
};

TEST_F(JobWatcherTest, OnePrinterGoesStraightToIt)
{
    storePrinters({office()});
    makeWindow();
    bool asked = false;
    whenShown<ChoosePrinter>([&asked](ChoosePrinter *d) {
        asked = true;
        d->reject();
    });
    lp("Quarterly Report.pdf");
    ASSERT_TRUE(waitForResults(1));
    EXPECT_FALSE(asked);
    EXPECT_EQ(m_started, QStringList{"Office"});
    Popup *popup = m_window->notification();
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(labelText(popup, "label"), "您的任务已打印完成！");

    const QJsonArray received = s_rig->jobs("office", "raw", 1, 30);
    ASSERT_EQ(received.size(), 1);
    EXPECT_GT(received[0].toObject().value("bytes").toInt(), kDocument.size()) << "the PDF inside its PJL header";
    EXPECT_TRUE(waitFor([&] { return spoolFiles().isEmpty(); }, 30000)) << spoolFiles().join(' ').toStdString();
}

TEST_F(JobWatcherTest, TwoPrintersAskAndTheChosenOneGetsTheJob)
{
    storePrinters({office(), lab()});
    makeWindow();
    QStringList offered;
    whenShown<ChoosePrinter>([&offered](ChoosePrinter *d) {
        auto *list = d->findChild<QListWidget *>("listWidget");
        offered = itemTexts(list);
        list->setCurrentItem(list->findItems("Lab", Qt::MatchExactly).value(0));
        d->findChild<QPushButton *>("printBtn")->click();
    });
    lp("two printers");
    ASSERT_TRUE(waitForResults(1));
    EXPECT_EQ(offered, (QStringList{"Office", "Lab"}));
    EXPECT_EQ(m_started, QStringList{"Lab"});
    EXPECT_EQ(labelText(m_window->notification(), "label"), "您的任务已打印完成！");
    EXPECT_EQ(s_rig->jobs("lab", "raw", 1, 30).size(), 1);
    EXPECT_EQ(s_rig->jobs("office", "raw").size(), 0);
}

TEST_F(JobWatcherTest, NoPrinterHintsShowsTheWindowAndDiscards)
{
    storePrinters({});
    makeWindow();
    auto box = answerNextBox();
    lp("nowhere to go");
    ASSERT_TRUE(waitFor([&] { return box->shown; }, 60000));
    EXPECT_EQ(box->title, "提示");
    EXPECT_EQ(box->text, "打印机列表为空，请先进入面板添加打印机！");
    EXPECT_TRUE(waitFor([&] { return m_window->isVisible() && spoolFiles().isEmpty(); }, 30000))
        << spoolFiles().join(' ').toStdString();
    EXPECT_TRUE(m_started.isEmpty());
}

TEST_F(JobWatcherTest, CancelDiscardsWithoutNotification)
{
    storePrinters({office(), lab()});
    makeWindow();
    auto done = whenShown<ChoosePrinter>([](ChoosePrinter *d) { d->findChild<QPushButton *>("cancelBtn")->click(); });
    lp("cancelled");
    ASSERT_TRUE(waitFor([&] { return *done; }, 60000));
    EXPECT_TRUE(waitFor([&] { return spoolFiles().isEmpty(); }, 30000)) << spoolFiles().join(' ').toStdString();
    QTest::qWait(200);
    EXPECT_TRUE(m_started.isEmpty());
    EXPECT_EQ(m_window->notification(), nullptr);
}

TEST_F(JobWatcherTest, FailureShowsFailAndTheErrorDetails)
{
    storePrinters({makePrinter("Silent", s_rig->silentIp())});
    makeWindow();
    lp("Q3 plan.pdf");
    ASSERT_TRUE(waitForResults(1));
    Popup *popup = m_window->notification();
    EXPECT_EQ(labelText(popup, "label"), "您的任务已打印失败！");
    popup->findChild<QPushButton *>("btnError")->click();
    ErrorDetails *details = popup->findChild<ErrorDetails *>();
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(labelText(details, "labelName"), "Q3_plan.pdf");
    EXPECT_EQ(labelText(details, "labelError"), "Cannot connect printer, port=631: " + s_rig->silentIp());
    saveScreenshot(details, "error_details_delivery");
    EXPECT_TRUE(waitFor([&] { return spoolFiles().isEmpty(); }, 30000));
}

TEST_F(JobWatcherTest, AMarkerWithoutItsDocumentStillEndsInANotification)
{
    storePrinters({office()});
    makeWindow();
    QDir().mkpath(m_window->spoolDirectory());
    const QString doc = m_window->spoolDirectory() + "/0f8a7c2e-4a1b-4c6d-9e2f-1a2b3c4d5e6f.tmp";
    QFile ctrl(doc + ".ctrl");
    ASSERT_TRUE(ctrl.open(QIODevice::WriteOnly));
    ctrl.write("JOB_FILE=" + doc.toUtf8() +
               "\nUSER=x\nDOCNAME=lost.pdf\nCOPY=1\nPORT=tavrin://printer\nJOBID=x\nOPTION=\n");
    ctrl.close();
    QFile marker(doc + ".done");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    ASSERT_TRUE(waitForResults(1));
    EXPECT_EQ(labelText(m_window->notification(), "label"), "您的任务已打印失败！");
}

TEST_F(JobWatcherTest, APendingNoticeShowsBeforeTheJobs)
{
    storePrinters({office()});
    makeWindow();
    gFatalError = "请尽快联系管理员";
    lp("with a notice");
    ASSERT_TRUE(waitForResults(2));
    Popup *popup = m_window->notification();
    popup->findChild<QPushButton *>("btnPrev")->click();
    EXPECT_EQ(labelText(popup, "label"), "请尽快联系管理员");
    popup->findChild<QPushButton *>("btnNext")->click();
    EXPECT_EQ(labelText(popup, "label"), "您的任务已打印完成！");
    gFatalError.clear();
}

TEST_F(JobWatcherTest, JobsArrivingDuringAChoiceWaitForItAndGetTheirOwnDialog)
{
    storePrinters({office(), lab()});
    makeWindow();
    // Runs inside the dialogs' own event loops: the first dialog submits the
    // second job and is answered only once that job's marker lies in the
    // spool, untaken; each answer notes how many workers had started.
    QList<int> startedWhenAnswered;
    bool secondSubmitted = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *d = qobject_cast<ChoosePrinter *>(w);
            if (!d || !d->isVisible() || d->property("answered").toBool())
                continue;
            const bool first = startedWhenAnswered.isEmpty();
            if (first && !secondSubmitted) {
                secondSubmitted = true;
                lp("second");
                return;
            }
            if (first && spoolFiles().filter(QRegularExpression("\\.done$")).isEmpty())
                return;
            d->setProperty("answered", true);
            startedWhenAnswered << m_started.size();
            auto *list = d->findChild<QListWidget *>("listWidget");
            list->setCurrentItem(list->findItems(first ? "Office" : "Lab", Qt::MatchExactly).value(0));
            d->findChild<QPushButton *>("printBtn")->click();
            return;
        }
    });
    poll.start(20);

    lp("first");
    ASSERT_TRUE(waitForResults(2));
    EXPECT_EQ(startedWhenAnswered, (QList<int>{0, 1})) << "the first worker starts before the second dialog";
    EXPECT_EQ(m_started, (QStringList{"Office", "Lab"}));
    EXPECT_EQ(s_rig->jobs("office", "raw", 1, 30).size(), 1);
    EXPECT_EQ(s_rig->jobs("lab", "raw", 1, 30).size(), 1);
}

TEST_F(JobWatcherTest, TheSystemQueueIsCreatedOnlyWhenMissing)
{
    const auto queue = [] { return util::runCommand("lpoptions", {"-p", "塔文"}, util::CommandOptions()).output; };
    config::m_ppdFile = QStringLiteral(TAVRIN_SOURCE_DIR "/tests/ui/queue-test.ppd");
    // Present (the rig's raw queue): left alone.
    makeWindow();
    EXPECT_TRUE(queue().contains("printer-make-and-model='Local Raw Printer'")) << queue().toStdString();

    m_window.reset();
    ASSERT_TRUE(util::runCommand("lpadmin", {"-x", "塔文"}, util::CommandOptions()).ok());
    makeWindow();
    const QString made = queue();
    EXPECT_TRUE(made.contains("device-uri=tavrin://printer")) << made.toStdString();
    EXPECT_TRUE(made.contains("printer-make-and-model='Tavrin Test'")) << "made with the program's PPD";
    EXPECT_TRUE(made.contains("printer-is-accepting-jobs=true"));
    EXPECT_TRUE(made.contains("printer-state=3")) << "enabled";
}

} // namespace
