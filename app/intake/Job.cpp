#include "intake/Job.h"

Job::Job()
    : color(QStringLiteral("monochrome")), duplex(QStringLiteral("one-sided")), copy(QStringLiteral("1")),
      collate(QStringLiteral("separate-documents-collated-copies")), tray(QStringLiteral("auto")),
      size(QStringLiteral("a4")), name(QStringLiteral("DastrelJobName")), printAsImage(false)
{
}

bool Job::operator==(const Job &other) const
{
    return jobFile == other.jobFile && color == other.color && duplex == other.duplex && copy == other.copy &&
           collate == other.collate && tray == other.tray && size == other.size && name == other.name &&
           staple == other.staple && holePunch == other.holePunch && holeNumber == other.holeNumber &&
           booklet == other.booklet && quality == other.quality && finishOutSize == other.finishOutSize &&
           printAsImage == other.printAsImage;
}
