// Each brand's PJL vocabulary. A brand without an entry contributes no line.

#include "pjl/PJLHeader.h"

#include <utility>

namespace {

// Built on first use, so that no other file's static initialisation depends on it.
const QStringList &mediaSources()
{
    static const QStringList lines = {
        QStringLiteral("@PJL SET MEDIASOURCE = AUTO"),  QStringLiteral("@PJL SET MEDIASOURCE = MANUALFEED"),
        QStringLiteral("@PJL SET MEDIASOURCE = TRAY1"), QStringLiteral("@PJL SET MEDIASOURCE = TRAY2"),
        QStringLiteral("@PJL SET MEDIASOURCE = TRAY3"), QStringLiteral("@PJL SET MEDIASOURCE = TRAY4"),
    };
    return lines;
}

// Common tail of the HP staple entries: output face down.
constexpr char kHpStapleTail[] = "\n@PJL SET PROCESSINGBOUNDARY=MOPY"
                                 "\n@PJL SET PROCESSINGACTION=APPEND"
                                 "\n@PJL SET PROCESSINGTYPE=\"FACE_DOWN\""
                                 "\n@PJL SET PROCESSINGOPTION=\"FACE_DOWN\"";

// Toshiba's booklet imposition (2-up, landscape sheet, short-edge duplex); the
// booklet maker adds the saddle stitch and the saddle bin. Lexmark carries the
// same commands.
constexpr char kDsscBookletLayout[] = "@PJL COMMENT DSSC PRINT NUPCOUNT=2\n"
                                      "@PJL COMMENT DSSC PRINT SHEETORIENTATION=1\n"
                                      "@PJL COMMENT DSSC PRINT DUPLEX=2";
constexpr char kDsscBookletMaker[] = "\n@PJL COMMENT DSSC PRINT STAPLE=SADDLESTITCH\n@PJL SET OUTBIN=SADDLE";

} // namespace

PJLHeader::PJLHeader(Job job, std::string brand) : brand(std::move(brand)), job(std::move(job))
{
    const std::string &b = this->brand;
    const bool km = b == "08" || b == "13";

    if (b == "05") {
        grayLine = "@PJL SET GRAYSCALE=BLACKONLY\n@PJL SET PLANESINUSE=1";
        longEdgeLine = "@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE";
        shortEdgeLine = "@PJL SET DUPLEX=ON\n@PJL SET BINDING=SHORTEDGE";
        jobNameLine = "@PJL SET JOBNAME=\"%NAME%\"";
        // Two lines of the first booklet entry end in a blank; the bytes stay exactly so.
        bookletLine1 = "@PJL SET CONTENTORIENTATION=LANDSCAPE\n@PJL SET FOLD=\"\"\n@PJL SET PUNCH=OFF\n"
                       "@PJL SET PROCESSINGACTION=APPEND\n@PJL SET PROCESSINGTYPE=\"PUNCH\"\n"
                       "@PJL SET PROCESSINGOPTION=\"NONE\" \n@PJL SET PROCESSINGBOUNDARY=MOPY \n"
                       "@PJL SET OUTBIN=AUTO\n@PJL SET PROCESSINGACTION=APPEND\n"
                       "@PJL SET PROCESSINGTYPE=\"STAPLING\"\n@PJL SET PROCESSINGOPTION=\"NONE\"";
        bookletLine2 = "@PJL SET CONTENTORIENTATION=LANDSCAPE\n@PJL SET FOLD=\"\"\n@PJL SET PUNCH=OFF\n"
                       "@PJL SET PROCESSINGACTION=APPEND\n@PJL SET PROCESSINGTYPE=\"PUNCH\"\n"
                       "@PJL SET PROCESSINGOPTION=\"NONE\"\n@PJL SET PROCESSINGBOUNDARY=MOPY\n"
                       "@PJL SET OUTBIN=AUTO\n@PJL SET PROCESSINGACTION=APPEND\n"
                       "@PJL SET PROCESSINGTYPE=\"BOOKLET_MAKER\"\n@PJL SET PROCESSINGOPTION=\"BOOKLET_MAKER\"\n"
                       "@PJL SET PROCESSINGBOUNDARY=MOPY\n@PJL SET PROCESSINGACTION=APPEND\n"
                       "@PJL SET PROCESSINGTYPE=\"FACE_DOWN\"\n@PJL SET PROCESSINGOPTION=\"FACE_DOWN\"";
        stapleTopLeftLine = std::string("@PJL SET PROCESSINGOPTION=\"LEFT_1PT_ANGLED\"") + kHpStapleTail;
        stapleTopRightLine = std::string("@PJL SET PROCESSINGOPTION=\"RIGHT_1PT_ANGLED\"") + kHpStapleTail;
        stapleDualLeftLine = std::string("@PJL SET PROCESSINGOPTION=\"LEFT_2PT\"") + kHpStapleTail;
        stapleDualRightLine = std::string("@PJL SET PROCESSINGOPTION=\"RIGHT_2PT\"") + kHpStapleTail;
        stapleDualTopLine = std::string("@PJL SET PROCESSINGOPTION=\"TOP_2PT\"") + kHpStapleTail;
        mediaSourceLines = mediaSources();
    } else if (km) {
        grayLine = "@PJL SET GRAYSCALE=COMPOSITE\n@PJL SET PLANESINUSE=1";
        longEdgeLine = "@PJL SET BINDING = LEFT\n@PJL SET DUPLEX=ON";
        shortEdgeLine = "@PJL SET BINDING = TOP\n@PJL SET DUPLEX=ON";
        jobNameLine = "@PJL SET JOBNAME=\"%NAME%\"";
        bookletLine1 = "@PJL SET LAYOUT = BOOKLET4IN1";
        bookletLine2 = "@PJL SET LAYOUT = BOOKLET4IN1\n@PJL SET FINISH = CENTER\n@PJL SET FOLDING = CENTERFOLDIN";
        finishSizeLine1 = "@PJL SET PAPER = A5";
        finishSizeLine2 = "@PJL SET PAPER = A4";
        finishSizeLine3 = "@PJL SET PAPER = A3";
        stapleTopLeftLine = "@PJL SET FINISH = LEFT1POINT";
        stapleTopRightLine = "@PJL SET FINISH = RIGHT1POINT";
        stapleDualLeftLine = "@PJL SET FINISH = ANY2POINT";
        stapleDualRightLine = "@PJL SET FINISH = ANY2POINT";
        stapleDualTopLine = "@PJL SET FINISH = ANY2POINT";
        mediaSourceLines = mediaSources();
    } else if (b == "01") {
        grayLine = "@PJL COMMENT DSSC PRINT RENDERMODE=GRAYSCALE";
        longEdgeLine = "@PJL COMMENT DSSC PRINT DUPLEX=1\n@PJL COMMENT DSSC PRINT EXTRADOCUMENTTYPE=00\n"
                       "@PJL COMMENT DSSC PRINT EXPAND_PRINTABLEAREA=0";
        shortEdgeLine = "@PJL COMMENT DSSC PRINT DUPLEX=2\n@PJL COMMENT DSSC PRINT EXTRADOCUMENTTYPE=00\n"
                        "@PJL COMMENT DSSC PRINT EXPAND_PRINTABLEAREA=0";
        // Never used: the Toshiba header names the job in its JOB line.
        jobNameLine = "@PJL JOB NAME = \"%NAME%\"";
        bookletLine1 = kDsscBookletLayout;
        bookletLine2 = std::string(kDsscBookletLayout) + kDsscBookletMaker;
        stapleTopLeftLine = "@PJL COMMENT DSSC PRINT STAPLE=TOPLEFT";
        stapleTopRightLine = "@PJL COMMENT DSSC PRINT STAPLE=TOPRIGHT";
        stapleDualLeftLine = "@PJL COMMENT DSSC PRINT STAPLE=DUALLEFT";
        stapleDualRightLine = "@PJL COMMENT DSSC PRINT STAPLE=DUALRIGHT";
        stapleDualTopLine = "@PJL COMMENT DSSC PRINT STAPLE=DUALTOP";
        mediaSourceLines = mediaSources();
    } else if (b == "11") {
        grayLine = "@PJL SET GRAYSCALE=COMPOSITE\n@PJL SET PLANESINUSE=1";
        longEdgeLine = "@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE";
        shortEdgeLine = "@PJL SET DUPLEX=ON\n@PJL SET BINDING=SHORTEDGE";
        jobNameLine = "@PJL SET JOBNAME=\"%NAME%\"";
        bookletLine1 = kDsscBookletLayout;
        bookletLine2 = std::string(kDsscBookletLayout) + kDsscBookletMaker;
        stapleTopLeftLine = "@PJL SET LSTAPLE=ON\n@PJL SET LSTAPLE=LEFT";
        stapleTopRightLine = "@PJL SET LSTAPLE=ON\n@PJL SET LSTAPLE=RIGHT";
        stapleDualLeftLine = "@PJL SET LSTAPLE=ON\n@PJL SET LSTAPLE=LEFTDUAL";
        stapleDualRightLine = "@PJL SET LSTAPLE=ON\n@PJL SET LSTAPLE=RIGHTDUAL";
        stapleDualTopLine = "@PJL SET LSTAPLE=ON\n@PJL SET LSTAPLE=TOPDUAL";
        mediaSourceLines = mediaSources();
    } else if (b == "09") {
        grayLine = "@PJL SET COLORMODE=BW";
        colorLine = "@PJL SET COLORMODE=COLOR";
        simplexLine = "@PJL SET DUPLEX=OFF";
        longEdgeLine = "@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE";
        shortEdgeLine = "@PJL SET DUPLEX=ON\n@PJL SET BINDING=SHORTEDGE";
        jobNameLine = "@PJL SET JOBNAME=\"%NAME%\"";
        bookletLine1 = "@PJL SET JOBBOOKLET=ON";
        bookletLine2 = "@PJL SET JOBBOOKLET=ON";
        stapleTopLeftLine = "@PJL SET BINDING=LONGEDGE\n@PJL SET JOBOFFSET=ON\n@PJL SET STAPLEOPTION=ONE";
        stapleTopRightLine = "@PJL SET BINDING=RIGHTEDGE\n@PJL SET JOBOFFSET=ON\n@PJL SET STAPLEOPTION=ONE";
        stapleDualLeftLine = "@PJL SET BINDING=LONGEDGE\n@PJL SET JOBOFFSET=ON\n@PJL SET STAPLEOPTION=TWO";
        stapleDualRightLine = "@PJL SET BINDING=RIGHTEDGE\n@PJL SET JOBOFFSET=ON\n@PJL SET STAPLEOPTION=TWO";
        stapleDualTopLine = "@PJL SET BINDING=SHORTEDGE\n@PJL SET JOBOFFSET=ON\n@PJL SET STAPLEOPTION=TWO";
        mediaSourceLines = mediaSources();
    } else if (b == "18") {
        simplexLine = "@PJL SET DUPLEX=OFF\n@PJL SET BINDING=LONGEDGE";
        longEdgeLine = "@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE";
        shortEdgeLine = "@PJL SET DUPLEX=ON\n@PJL SET BINDING=SHORTEDGE";
    }
}
