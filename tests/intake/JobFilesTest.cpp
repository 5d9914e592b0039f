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

} // namespace
