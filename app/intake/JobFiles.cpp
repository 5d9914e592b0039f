#include "intake/JobFiles.h"

#include <QDir>
#include <QFile>

void cleanJob(QString docPath)
{
    QFile::remove(docPath);
    QFile::remove(docPath + QLatin1String(".ctrl"));
    QFile::remove(docPath + QLatin1String(".dest"));
    QFile::remove(docPath + QLatin1String(".rotate"));
    QFile::remove(docPath + QLatin1String(".rotate.dest"));
}

int removeStaleTemporaries(const QString &spoolDir)
{
    // "<doc>.withheader.XXXXXX": mkostemp's six characters after the name.
    const QStringList found =
        QDir(spoolDir).entryList({QStringLiteral("*.withheader.??????")}, QDir::Files | QDir::Hidden | QDir::System);
    int removed = 0;
    for (const QString &name : found)
        removed += QFile::remove(spoolDir + QLatin1Char('/') + name) ? 1 : 0;
    return removed;
}
