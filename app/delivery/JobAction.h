#pragma once
// One delivery of one job to one printer. The job worker builds it, lets it
// parse the control file, sets the job's document and calls print(); the
// result text for the user is lastError.

#include "intake/Job.h"
#include "storage/Printer.h"

#include <QCoreApplication>
#include <QString>

#include <string>

class JobAction
{
    // The catalogues hold the delivery texts in the QObject context, with the rest of the program.
    Q_DECLARE_TR_FUNCTIONS(QObject)

public:
    JobAction() = default;
    // uri starts as "ipp://" + address + "/ipp/print"; the idle wait may
    // replace it with the URI the printer advertises.
    JobAction(const QString &path, const Printer &printer);

    QString path; // the job's document; the control-file parser may replace it
    Printer printer;
    QString uri;       // where IPP submissions go
    QString lastError; // why the last delivery failed, shown to the user
    Job job;

    // Reads the control file into a Job (replacing path with the stripped
    // document when the option block was found) and deletes it.
    Job _parseCtrl(QString ctrlPath);
    // Removes the job file family of path.
    void _cleanJob();

    // Port check, bounded wait for an accepting printer, delivery by the
    // printer's mode, clean-up on every path, usage count after a success.
    bool print();

    // Up to 60 acceptance queries 5 s apart; true as soon as one says yes.
    bool _waitPrinterIdle();
    // One Get-Printer-Attributes for printer-is-accepting-jobs; true when the
    // printer accepts or cannot be asked. Takes over printer-uri-supported.
    bool _doesAcceptJob();

    // IPP submission through the scripted IPP tool.
    bool _sendApPDF();
    bool _ippSend(const std::string &format, const std::string &file);
    // name when it is at most maxLength characters; otherwise its last
    // (fromHead) or first maxLength characters.
    static QString _truncate_job_name_from_head(const QString &name, int maxLength, bool fromHead);

    // The document inside the brand's PJL header and footer, raw to port 9100.
    bool _sendDirectPDF();

    // Raster paths: convert once, submit once per copy.
    bool _sendApDWG(); // Ghostscript, PWG raster
    bool _sendGsURF(); // Ghostscript, URF
    bool _sendApURF(); // dep4 with a PPD built from the printer's attributes

private:
    bool _deliver();
    bool _sendDirectOrApPDF();
    bool _rasterisePrintAsImage();
    bool _copyLoop(const std::string &format);
};
