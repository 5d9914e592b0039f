#pragma once
// One captured print job and the options it is to be printed with.

#include <QMetaType>
#include <QString>

class Job
{
public:
    Job();

    QString jobFile; // document to deliver; set by the job worker, replaced by conversions
    QString color;   // "color" | "monochrome" (also the IPP print-color-mode keyword)
    QString duplex;  // "one-sided" | "two-sided-long-edge" | "two-sided-short-edge"
    QString copy;    // number of copies as decimal text
    QString collate; // "separate-documents-collated-copies" | "separate-documents-uncollated-copies"
    QString tray;    // "auto" | "manual" | "tray-" + number or name
    QString size;    // CUPS PageSize value, empty when the options carry none
    QString name;    // job title with blanks turned into "_"
    QString staple;  // finishing values of the option block, read by the PJL header builder
    QString holePunch;
    QString holeNumber;
    QString booklet;
    QString quality;
    QString finishOutSize;
    bool printAsImage;

    // The finishing elements of a PWG job ticket. Normalises staple, holePunch and
    // booklet ("None" and booklet "0" mean none), so call it on a copy.
    QString GetFinishingPJL();

    bool operator==(const Job &other) const;
    bool operator!=(const Job &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(Job)
