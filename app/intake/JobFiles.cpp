#include "intake/JobFiles.h"

#include <QFile>

void cleanJob(QString docPath)
{
    QFile::remove(docPath);
    QFile::remove(docPath + QLatin1String(".ctrl"));
    QFile::remove(docPath + QLatin1String(".dest"));
    QFile::remove(docPath + QLatin1String(".rotate"));
    QFile::remove(docPath + QLatin1String(".rotate.dest"));
}
