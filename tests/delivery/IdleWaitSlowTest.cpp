// The idle wait against a printer that refuses jobs for its first ten
// queries: the job waits about 50 s, then goes through. Slow by design, so
// it carries the label "slow" and quick runs can leave it out.

#include "DeliveryPeerSupport.h"

#include <QElapsedTimer>

using namespace deliverytest;

namespace {

class IdleWait : public DeliveryPeer
{
};

TEST_F(IdleWait, RefusingPrinterDelaysTheJobThenTakesIt)
{
    ASSERT_TRUE(fleet.clear("busy"));
    ASSERT_TRUE(fleet.setRefusals("busy", 10));
    AppLog log;
    JobAction a = action("busy", "pdf", spoolPdf(1));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(a.print()) << a.lastError.toStdString();
    const qint64 waited = clock.elapsed();
    std::printf("delivered after %.1f s\n", waited / 1000.0);

    EXPECT_EQ(log.count("printer busy"), 10);
    EXPECT_EQ(log.count("printer idle"), 1);
    EXPECT_EQ(log.count("printer not idle, send job anyway"), 0);
    EXPECT_GE(waited, 10 * 5000) << "ten pauses of 5 s";
    EXPECT_EQ(fleet.queries("busy"), 11);
    const QJsonArray jobs = fleet.jobs("busy", "ipp", 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(attr(jobs[0], "job-name"), "TavRin:report.pdf");
    EXPECT_EQ(leftovers(), QStringList());
}

} // namespace
