// Finding and taking finished jobs in a spool directory, and the worker's
// result text.

#include "intake/SpoolScan.h"
#include "delivery/WorkerThread.h"

#include "DialogTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace tavrin::test;

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

TEST(SpoolScan, MarkersAreRegularFilesEndingInDone)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    for (const char *name : {"a.tmp", "a.tmp.ctrl", "a.tmp.done", "b.tmp.DONE", "c.tmp.done.old", "d.tmp.done"})
        touch(d + "/" + name);
    QDir(d).mkdir("e.tmp.done");
    QFile::link(d + "/a.tmp", d + "/f.tmp.done");

    SpoolScan scan = scanSpool(d);
    scan.jobs.sort();
    scan.markers.sort();
    EXPECT_EQ(scan.jobs, (QStringList{d + "/a.tmp", d + "/d.tmp"}));
    EXPECT_EQ(scan.markers, (QStringList{d + "/a.tmp.done", d + "/d.tmp.done"}));
    EXPECT_TRUE(scanSpool(d + "/missing").jobs.isEmpty());
}

TEST(SpoolScan, TakingDeletesTheMarkersOnly)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    for (const char *name : {"a.tmp", "a.tmp.ctrl", "a.tmp.done", "b.tmp.done"})
        touch(d + "/" + name);
    QStringList jobs = claimJobs(d);
    jobs.sort();
    EXPECT_EQ(jobs, (QStringList{d + "/a.tmp", d + "/b.tmp"})) << "a marker without its document is a job too";
    EXPECT_EQ(QDir(d).entryList(QDir::Files), (QStringList{"a.tmp", "a.tmp.ctrl"}));
    EXPECT_TRUE(claimJobs(d).isEmpty()) << "each job is taken once";
}

TEST(WorkerResult, FailureTextInOnePass)
{
    struct Row {
        QString name;
        QString error;
        QString text;
    };
    const Row rows[] = {
        {"report.pdf", "Cannot connect printer, port=631: 198.18.0.99",
         "Fail:report.pdf:Cannot connect printer, port=631: 198.18.0.99"},
        {"Q3:results", "refused", "Fail:Q3:results:refused"},
        {"100%1", "at 50%2 done", "Fail:100%1:at 50%2 done"},
        {"", "", "Fail::"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(WorkerThread::failureText(row.name, row.error), row.text);
}

} // namespace
