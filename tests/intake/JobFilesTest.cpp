// cleanJob removes one job's file family and nothing else.

#include "IntakeSupport.h"

#include "intake/JobFiles.h"

using namespace intaketest;

namespace {

TEST(JobFileFamily, RemovesTheFamilyOnly)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("a.tmp"));
    const QString other = dir.filePath(QStringLiteral("b.tmp"));
    const QStringList family = {doc, doc + ".ctrl", doc + ".dest", doc + ".rotate", doc + ".rotate.dest"};
    // The marker belongs to the watcher; a stripped document's own derived
    // files and other jobs are not this document's family.
    const QStringList kept = {doc + ".done", doc + ".dest.dest", other, other + ".ctrl", other + ".dest"};
    for (const QString &path : family + kept)
        writeBytes(path, "x");

    cleanJob(doc);
    for (const QString &path : family)
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    for (const QString &path : kept)
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
}

TEST(JobFileFamily, MissingFilesAreNoError)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("gone.tmp"));
    writeBytes(doc + ".dest", "x");
    cleanJob(doc);
    EXPECT_FALSE(QFile::exists(doc + ".dest"));
    cleanJob(doc);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// A delivery that died while wrapping a document leaves its temporary file;
// the next start removes it and nothing else.
TEST(JobFileFamily, StaleWrappingTemporariesAreRemovedAtStart)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("a.tmp"));
    const QStringList stale = {doc + ".withheader.Ab3dE9", doc + ".withheader.zzzzzz"};
    const QStringList kept = {doc, doc + ".ctrl", doc + ".done", doc + ".withheader.toolong7", doc + ".withheader"};
    for (const QString &path : stale + kept)
        writeBytes(path, "x");

    EXPECT_EQ(removeStaleTemporaries(dir.path()), 2);
    for (const QString &path : stale)
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    for (const QString &path : kept)
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    EXPECT_EQ(removeStaleTemporaries(dir.path() + "/missing"), 0);
}

} // namespace
