#pragma once
// The brand-specific PJL job header and footer around a PDF sent raw to port
// 9100, and the wrapped file that carries all three.

#include "intake/Job.h"

#include <QStringList>

#include <string>

class PJLHeader
{
public:
    // Copies the job and picks the brand's vocabulary; unknown brands get none.
    PJLHeader(Job job, std::string brand);

    // Header bytes: PJL commands, or for brand "03" PJL plus a PWG job ticket.
    std::string header() const;
    // Footer bytes that end the PJL job.
    std::string footer() const;

    // Writes path + ".withheader" = header + every byte of `path` + footer,
    // streaming the document, and returns that path. On any failure (the
    // document unreadable, a write short or failed) returns an empty string,
    // leaves no wrapped file behind and sets lastError().
    std::string generateNewPdf(std::string path);
    const std::string &lastError() const { return lastError_; }

    // Konica Minolta codes: "08", "13", "24".
    static bool _isKM(std::string code);

private:
    std::string _plainHeader() const;
    std::string _ticketHeader() const;
    std::string _ticketFooter() const;

    char esc = '\x1b';
    std::string brand;
    std::string grayLine;
    std::string colorLine;
    std::string simplexLine;
    std::string longEdgeLine;
    std::string shortEdgeLine;
    std::string jobNameLine;
    std::string bookletLine1;
    std::string bookletLine2;
    std::string finishSizeLine1;
    std::string finishSizeLine2;
    std::string finishSizeLine3;
    std::string stapleTopLeftLine;
    std::string stapleTopRightLine;
    std::string stapleDualLeftLine;
    std::string stapleDualRightLine;
    std::string stapleDualTopLine;
    QStringList mediaSourceLines; // automatic, manual feed, tray 1 .. tray 4
    Job job;

    std::string lastError_;
};
