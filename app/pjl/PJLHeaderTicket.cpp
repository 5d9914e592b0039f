// Brand "03" (Xerox, Fuji Xerox): a few PJL commands, then a PWG job ticket
// after the switch to PDF; the footer carries the job's accounting summary.

#include "pjl/PJLHeader.h"

#include "pjl/PjlText.h"
#include "platform/TextUtil.h"

namespace {

constexpr char kUel[] = "%-12345X";
constexpr int kShortNameBytes = 76;
constexpr char kIndent[] = "                  "; // 18 blanks before every ticket line

// The finishing elements of the ticket, from a copy so that the job stays as it came.
QString finishingOf(Job job)
{
    return job.GetFinishingPJL();
}

bool isBooklet(const QString &finishing)
{
    return finishing.contains(QLatin1String("BookletSignature"));
}

std::string mediaLocation(const QString &tray)
{
    std::string location = "AutoSelect";
    const QStringList parts = tray.split(QLatin1Char('-'));
    if (parts.size() == 2 && util::iequals(parts.at(0), QStringLiteral("tray")))
        location = "Tray" + parts.at(1).toStdString();
    if (util::iequals(tray, QStringLiteral("manual")))
        location = "ManualTray";
    return location;
}

} // namespace

std::string PJLHeader::_ticketHeader() const
{
    const QString finishing = finishingOf(job);
    const QString name = pjl::quotableName(job.name);

    const std::string colorEffect = util::iequals(job.color, QStringLiteral("Color")) ? "Color" : "MonochromeGrayscale";
    std::string sides = "OneSided";
    if (util::iequals(job.duplex, QStringLiteral("two-sided-long-edge")))
        sides = "TwoSidedLongEdge";
    else if (util::iequals(job.duplex, QStringLiteral("two-sided-short-edge")))
        sides = "TwoSidedShortEdge";
    if (isBooklet(finishing))
        sides = "TwoSidedShortEdge";
    std::string quality = "Normal";
    if (util::iequals(job.quality, QStringLiteral("1")))
        quality = "High";
    else if (util::iequals(job.quality, QStringLiteral("2")))
        quality = "Draft";
    std::string mediaSize;
    if (util::iequals(job.finishOutSize, QStringLiteral("1")))
        mediaSize = "<MediaSizeName>a3</MediaSizeName>";
    else if (util::iequals(job.finishOutSize, QStringLiteral("2")))
        mediaSize = "<MediaSizeName>a4</MediaSizeName>";
    const std::string collate =
        util::iequals(job.collate, QStringLiteral("separate-documents-uncollated-copies")) ? "Uncollated" : "Collated";

    std::string h = esc + std::string(kUel) + "@PJL\n";
    h += "@PJL COMMENT DNAME=" + pjl::toGb2312(name).toStdString() + "\n";
    h += "@PJL SET JOBATTR=\"@ACNA=" + pjl::gb2312Prefix(name, kShortNameBytes).toStdString() +
         "\"\n@PJL SET JOBATTR=\"@JOEP=\"\n@PJL SET JOBATTR=\"@JOAU=\"\n";
    h += "@PJL COMMENT XRXbegin\n@PJL COMMENT OID_ATT_DEFAULT_MEDIUM_COLOUR \"White\";\n@PJL COMMENT XRXend\n"
         "@PJL ENTER LANGUAGE=PDF\n<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const auto line = [&h](const std::string &text) {
        h += kIndent;
        h += text;
        h += '\n';
    };
    line("<PwgPrintJobTicket>");
    line("<JobDescription>");
    line("<ContentsBridgeMode>5</ContentsBridgeMode>");
    line("</JobDescription>");
    line("<JobProcessing>");
    line("</JobProcessing>");
    line("<DocumentProcessing>");
    line("<ColorEffectsType>" + colorEffect + "</ColorEffectsType>");
    line("<PrintQuality>" + quality + "</PrintQuality>");
    line("<Copies>" + pjl::copiesText(job.copy) + "</Copies>");
    line("<SheetCollate>" + collate + "</SheetCollate>");
    line("<Sides>" + sides + "</Sides>");
    line("<MediaCol>" + mediaSize);
    line("<MediaLocations>");
    line("<MediaLocation>" + mediaLocation(job.tray) + "</MediaLocation>");
    line("</MediaLocations>");
    line("</MediaCol>");
    // The finishing text ends its own lines; the ScalingFactor element alone ends
    // none, and the close tag then follows on the same line.
    h += kIndent + finishing.toStdString();
    line("</DocumentProcessing>");
    line("</PwgPrintJobTicket>");
    return h;
}

std::string PJLHeader::_ticketFooter() const
{
    const std::string copies = pjl::copiesText(job.copy);
    // A booklet is printed on both sides whatever the job's sides say.
    const bool simplex = util::iequals(job.duplex, QStringLiteral("one-sided")) && !isBooklet(finishingOf(job));
    const bool color = util::iequals(job.color, QStringLiteral("COLOR"));

    std::string f = esc + std::string(kUel);
    f += "@PJL COMMENT FXJOBINFO VERSION=1.3.0\n";
    f += "@PJL COMMENT FXJOBINFO BEGIN\n";
    f += "@PJL COMMENT FXJOBINFO PDLTYPE=PDL[PDF]:VERSION[0]\n";
    f += "@PJL COMMENT FXJOBINFO PAGECOPIES=" + copies + "\n";
    f += "@PJL COMMENT FXJOBINFO JOBCOPIES=" + copies + "\n";
    f += std::string("@PJL COMMENT FXJOBINFO DUPLEXTYPE=") + (simplex ? "SIMPLEX" : "DUPLEX") + "\n";
    f += std::string("@PJL COMMENT FXJOBINFO COLORMODE=") + (color ? "COLOR" : "GRAYSCALE") + "\n";
    f += "@PJL COMMENT FXJOBINFO NUP=1\n";
    f += "@PJL COMMENT FXJOBINFO PHYSICALPAGES=1\n";
    f += "@PJL COMMENT FXJOBINFO LOGICALPAGES=1\n";
    f += "@PJL COMMENT FXJOBINFO PASSTHROUGH=OFF\n";
    f += "@PJL COMMENT FXJOBINFO END\n";
    f += "@PJL EOJ\n";
    return f;
}
