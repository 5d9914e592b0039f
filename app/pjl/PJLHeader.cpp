// The PJL header and footer for every brand but "03" (see PJLHeaderTicket.cpp).

#include "pjl/PJLHeader.h"

#include "pjl/PjlText.h"
#include "platform/TextUtil.h"

#include <vector>

namespace {

constexpr char kUel[] = "%-12345X";

void replaceAll(std::string &text, const std::string &from, const std::string &to)
{
    // Scanning on after each insertion: a name that itself holds the
    // placeholder stays as it is.
    for (auto pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

} // namespace

bool PJLHeader::_isKM(std::string code)
{
    return code == "08" || code == "13" || code == "24";
}

std::string PJLHeader::header() const
{
    return brand == "03" ? _ticketHeader() : _plainHeader();
}

std::string PJLHeader::footer() const
{
    if (brand == "03")
        return _ticketFooter();
    return esc + std::string(kUel) + "@PJL EOJ\n" + esc + kUel;
}

std::string PJLHeader::_plainHeader() const
{
    const std::string name = pjl::quotableName(job.name).toUtf8().toStdString();
    const bool toshiba = brand == "01";

    std::string h = esc + std::string(kUel) + "@PJL\n";
    if (toshiba)
        h = esc + std::string(kUel) + "@PJL COMMENT TOSHIBA Universal Printer 2\n@PJL JOB NAME=\"" + name + "\"\n";

    std::vector<std::string> entries;
    entries.push_back(util::iequals(job.color, QStringLiteral("Color")) ? colorLine : grayLine);

    std::string sides = simplexLine;
    if (util::iequals(job.duplex, QStringLiteral("two-sided-long-edge")))
        sides = longEdgeLine;
    else if (util::iequals(job.duplex, QStringLiteral("two-sided-short-edge")))
        sides = shortEdgeLine;
    entries.push_back(sides);

    const bool copiesCommand =
        toshiba || util::iequals(job.collate, QStringLiteral("separate-documents-uncollated-copies"));
    entries.push_back((copiesCommand ? "@PJL SET COPIES=" : "@PJL SET QTY=") + pjl::copiesText(job.copy));

    if (!toshiba) {
        std::string nameLine = jobNameLine;
        replaceAll(nameLine, "%NAME%", name);
        entries.push_back(nameLine);
    }
    // Konica Minolta printers want the sides after the job name too.
    if (_isKM(brand))
        entries.push_back(sides);

    if (job.staple == QLatin1String("StapleTopLeft"))
        entries.push_back(stapleTopLeftLine);
    else if (job.staple == QLatin1String("StapleTopRight"))
        entries.push_back(stapleTopRightLine);
    else if (job.staple == QLatin1String("StapleDualLeft"))
        entries.push_back(stapleDualLeftLine);
    else if (job.staple == QLatin1String("StapleDualRight"))
        entries.push_back(stapleDualRightLine);
    else if (job.staple == QLatin1String("StapleDualTop"))
        entries.push_back(stapleDualTopLine);

    if (job.booklet == QLatin1String("1"))
        entries.push_back(bookletLine1);
    else if (job.booklet == QLatin1String("2"))
        entries.push_back(bookletLine2);

    // The same reading as the job ticket: "1" is A3, "2" is A4, no value no paper line.
    if (job.finishOutSize == QLatin1String("1"))
        entries.push_back(finishSizeLine3);
    else if (job.finishOutSize == QLatin1String("2"))
        entries.push_back(finishSizeLine2);

    if (!mediaSourceLines.isEmpty()) {
        int index = 0;
        const QStringList trays = {QStringLiteral("manual"), QStringLiteral("tray-1"), QStringLiteral("tray-2"),
                                   QStringLiteral("tray-3"), QStringLiteral("tray-4")};
        const int tray = trays.indexOf(job.tray);
        if (tray >= 0 && tray + 1 < mediaSourceLines.size())
            index = tray + 1;
        entries.push_back(mediaSourceLines.at(index).toStdString());
    }

    for (const std::string &entry : entries) {
        if (!entry.empty())
            h += entry + "\n";
    }
    return h + "@PJL ENTER LANGUAGE=PDF\n";
}
