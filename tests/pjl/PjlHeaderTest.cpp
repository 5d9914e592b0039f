// Golden bytes of the PJL header and footer, brand by brand. Each row names the
// rule its expected bytes come from; the brand "03" tickets are fixture files.

#include "PjlSupport.h"

#include "pjl/PJLHeader.h"

#include <QString>

#include <vector>

using namespace pjltest;

namespace {

#define ENTER "@PJL ENTER LANGUAGE=PDF\n"
#define EOJ UEL "@PJL EOJ\n" UEL
#define AUTO "@PJL SET MEDIASOURCE = AUTO\n"
#define NAMED(n) "@PJL SET JOBNAME=\"" n "\"\n"
#define DEFAULT_NAME NAMED("DastrelJobName")
#define TOSHIBA(n) UEL "@PJL COMMENT TOSHIBA Universal Printer 2\n@PJL JOB NAME=\"" n "\"\n"

#define HP_TAIL                                                                                                        \
    "@PJL SET PROCESSINGBOUNDARY=MOPY\n@PJL SET PROCESSINGACTION=APPEND\n@PJL SET PROCESSINGTYPE=\"FACE_DOWN\"\n"      \
    "@PJL SET PROCESSINGOPTION=\"FACE_DOWN\"\n"
#define HP_BOOKLET_HEAD                                                                                                \
    "@PJL SET CONTENTORIENTATION=LANDSCAPE\n@PJL SET FOLD=\"\"\n@PJL SET PUNCH=OFF\n@PJL SET "                         \
    "PROCESSINGACTION=APPEND\n"                                                                                        \
    "@PJL SET PROCESSINGTYPE=\"PUNCH\"\n"
#define DSSC_BOOKLET                                                                                                   \
    "@PJL COMMENT DSSC PRINT NUPCOUNT=2\n@PJL COMMENT DSSC PRINT SHEETORIENTATION=1\n@PJL COMMENT DSSC PRINT "         \
    "DUPLEX=2\n"

std::string xeroxFooter(const char *copies, const char *sides, const char *color)
{
    return std::string(UEL) + "@PJL COMMENT FXJOBINFO VERSION=1.3.0\n@PJL COMMENT FXJOBINFO BEGIN\n" +
           "@PJL COMMENT FXJOBINFO PDLTYPE=PDL[PDF]:VERSION[0]\n" + "@PJL COMMENT FXJOBINFO PAGECOPIES=" + copies +
           "\n@PJL COMMENT FXJOBINFO JOBCOPIES=" + copies + "\n@PJL COMMENT FXJOBINFO DUPLEXTYPE=" + sides +
           "\n@PJL COMMENT FXJOBINFO COLORMODE=" + color +
           "\n@PJL COMMENT FXJOBINFO NUP=1\n@PJL COMMENT FXJOBINFO PHYSICALPAGES=1\n"
           "@PJL COMMENT FXJOBINFO LOGICALPAGES=1\n@PJL COMMENT FXJOBINFO PASSTHROUGH=OFF\n"
           "@PJL COMMENT FXJOBINFO END\n@PJL EOJ\n";
}

struct Row {
    const char *label;
    std::string brand;
    Job job;
    std::string header;
    std::string footer;
};

void PrintTo(const Row &row, std::ostream *os)
{
    *os << row.label;
}

// "km long edge twice" -> "km_long_edge_twice"
std::string testName(const char *label)
{
    std::string name;
    for (const char *c = label; *c; ++c) {
        const bool alnum = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9');
        if (alnum)
            name += *c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name;
}

const std::vector<Row> kRows = {
    // HP: colour and simplex have no entry, so only copies, name and tray remain.
    {"hp colour simplex two collated copies", "05", J().color("color").copy("2").name("Report.pdf"),
     UEL "@PJL\n@PJL SET QTY=2\n" NAMED("Report.pdf") AUTO ENTER, EOJ},
    {"hp grey short edge before the copies", "05", J().duplex("two-sided-short-edge"),
     UEL "@PJL\n@PJL SET GRAYSCALE=BLACKONLY\n@PJL SET PLANESINUSE=1\n@PJL SET DUPLEX=ON\n@PJL SET BINDING=SHORTEDGE\n"
         "@PJL SET QTY=1\n" DEFAULT_NAME AUTO ENTER,
     EOJ},
    // Staple and booklet both apply; the first booklet entry keeps its two trailing blanks.
    {"hp staple top right, booklet 1, manual feed", "05",
     J().color("color").staple("StapleTopRight").booklet("1").tray("manual"),
     UEL "@PJL\n@PJL SET QTY=1\n" DEFAULT_NAME
         "@PJL SET PROCESSINGOPTION=\"RIGHT_1PT_ANGLED\"\n" HP_TAIL HP_BOOKLET_HEAD
         "@PJL SET PROCESSINGOPTION=\"NONE\" \n@PJL SET PROCESSINGBOUNDARY=MOPY \n@PJL SET OUTBIN=AUTO\n"
         "@PJL SET PROCESSINGACTION=APPEND\n@PJL SET PROCESSINGTYPE=\"STAPLING\"\n@PJL SET PROCESSINGOPTION=\"NONE\"\n"
         "@PJL SET MEDIASOURCE = MANUALFEED\n" ENTER,
     EOJ},
    {"hp dual top staple, booklet maker, tray 3", "05",
     J().color("Color").staple("StapleDualTop").booklet("2").tray("tray-3"),
     UEL "@PJL\n@PJL SET QTY=1\n" DEFAULT_NAME "@PJL SET PROCESSINGOPTION=\"TOP_2PT\"\n" HP_TAIL HP_BOOKLET_HEAD
         "@PJL SET PROCESSINGOPTION=\"NONE\"\n@PJL SET PROCESSINGBOUNDARY=MOPY\n@PJL SET OUTBIN=AUTO\n"
         "@PJL SET PROCESSINGACTION=APPEND\n@PJL SET PROCESSINGTYPE=\"BOOKLET_MAKER\"\n"
         "@PJL SET PROCESSINGOPTION=\"BOOKLET_MAKER\"\n" HP_TAIL "@PJL SET MEDIASOURCE = TRAY3\n" ENTER,
     EOJ},
    {"hp UTF-8 name", "05", J().color("color").name("报告.pdf"),
     UEL "@PJL\n@PJL SET QTY=1\n" NAMED("报告.pdf") AUTO ENTER, EOJ},
    // A quote or a control byte would end the value or the command: each becomes "_". "%NAME%" in the name stays.
    {"hp name with quotes, ESC and CR", "05", J().color("color").name("Plan \"B\" %NAME%\x1b%-12345X\r@PJL"),
     UEL "@PJL\n@PJL SET QTY=1\n" NAMED("Plan _B_ %NAME%_%-12345X_@PJL") AUTO ENTER, EOJ},
    {"hp copy count not a number", "05", J().color("color").copy("2\n@PJL"),
     UEL "@PJL\n@PJL SET QTY=1\n" DEFAULT_NAME AUTO ENTER, EOJ},

    // Konica Minolta repeats the sides after the job name.
    {"km long edge twice", "08", J().duplex("two-sided-long-edge"),
     UEL "@PJL\n@PJL SET GRAYSCALE=COMPOSITE\n@PJL SET PLANESINUSE=1\n@PJL SET BINDING = LEFT\n@PJL SET DUPLEX=ON\n"
         "@PJL SET QTY=1\n" DEFAULT_NAME "@PJL SET BINDING = LEFT\n@PJL SET DUPLEX=ON\n" AUTO ENTER,
     EOJ},
    {"km 13 short edge, uncollated, staple, booklet 2, finish size 1 (A3), tray 2", "13",
     J().color("color")
         .duplex("two-sided-short-edge")
         .copy("4")
         .uncollated()
         .staple("StapleTopLeft")
         .booklet("2")
         .finishOutSize("1")
         .tray("tray-2"),
     UEL "@PJL\n@PJL SET BINDING = TOP\n@PJL SET DUPLEX=ON\n@PJL SET COPIES=4\n" DEFAULT_NAME
         "@PJL SET BINDING = TOP\n@PJL SET DUPLEX=ON\n@PJL SET FINISH = LEFT1POINT\n@PJL SET LAYOUT = BOOKLET4IN1\n"
         "@PJL SET FINISH = CENTER\n@PJL SET FOLDING = CENTERFOLDIN\n@PJL SET PAPER = A3\n"
         "@PJL SET MEDIASOURCE = TRAY2\n" ENTER,
     EOJ},
    {"km dual left staple, booklet 1, finish size 2 (A4)", "08",
     J().color("color").staple("StapleDualLeft").booklet("1").finishOutSize("2"),
     UEL "@PJL\n@PJL SET QTY=1\n" DEFAULT_NAME "@PJL SET FINISH = ANY2POINT\n@PJL SET LAYOUT = BOOKLET4IN1\n"
         "@PJL SET PAPER = A4\n" AUTO ENTER,
     EOJ},
    {"km other finish size: no paper line", "08", J().color("color").finishOutSize("3"),
     UEL "@PJL\n@PJL SET QTY=1\n" DEFAULT_NAME AUTO ENTER, EOJ},

    // Toshiba names the job in its JOB line and always counts with COPIES.
    {"toshiba comment, COPIES for collated copies", "01",
     J().duplex("two-sided-long-edge").copy("2").name("Report.pdf"),
     TOSHIBA(
         "Report.pdf") "@PJL COMMENT DSSC PRINT RENDERMODE=GRAYSCALE\n@PJL COMMENT DSSC PRINT DUPLEX=1\n"
                       "@PJL COMMENT DSSC PRINT EXTRADOCUMENTTYPE=00\n@PJL COMMENT DSSC PRINT EXPAND_PRINTABLEAREA=0\n"
                       "@PJL SET COPIES=2\n" AUTO ENTER,
     EOJ},
    {"toshiba dual top staple, booklet maker, tray 1", "01",
     J().color("color").copy("3").uncollated().staple("StapleDualTop").booklet("2").tray("tray-1"),
     TOSHIBA("DastrelJobName") "@PJL SET COPIES=3\n@PJL COMMENT DSSC PRINT STAPLE=DUALTOP\n" DSSC_BOOKLET
                               "@PJL COMMENT DSSC PRINT STAPLE=SADDLESTITCH\n@PJL SET OUTBIN=SADDLE\n"
                               "@PJL SET MEDIASOURCE = TRAY1\n" ENTER,
     EOJ},
    {"toshiba name with a quote", "01", J().color("color").name("a\"b"),
     TOSHIBA("a_b") "@PJL SET COPIES=1\n" AUTO ENTER, EOJ},

    {"lexmark long edge, staple, booklet 1, tray 3", "11",
     J().duplex("two-sided-long-edge").staple("StapleTopLeft").booklet("1").tray("tray-3"),
     UEL "@PJL\n@PJL SET GRAYSCALE=COMPOSITE\n@PJL SET PLANESINUSE=1\n@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE\n"
         "@PJL SET QTY=1\n" DEFAULT_NAME "@PJL SET LSTAPLE=ON\n@PJL SET LSTAPLE=LEFT\n" DSSC_BOOKLET
         "@PJL SET MEDIASOURCE = TRAY3\n" ENTER,
     EOJ},

    {"sharp uncollated copies use COPIES", "09", J().copy("3").uncollated(),
     UEL "@PJL\n@PJL SET COLORMODE=BW\n@PJL SET DUPLEX=OFF\n@PJL SET COPIES=3\n" DEFAULT_NAME AUTO ENTER, EOJ},
    {"sharp colour long edge, dual right staple, booklet, tray 4", "09",
     J().color("color").duplex("two-sided-long-edge").staple("StapleDualRight").booklet("2").tray("tray-4"),
     UEL "@PJL\n@PJL SET COLORMODE=COLOR\n@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE\n@PJL SET QTY=1\n" DEFAULT_NAME
         "@PJL SET BINDING=RIGHTEDGE\n@PJL SET JOBOFFSET=ON\n@PJL SET STAPLEOPTION=TWO\n@PJL SET JOBBOOKLET=ON\n"
         "@PJL SET MEDIASOURCE = TRAY4\n" ENTER,
     EOJ},
    {"sharp staple top left, tray 1", "09", J().staple("StapleTopLeft").tray("tray-1"),
     UEL "@PJL\n@PJL SET COLORMODE=BW\n@PJL SET DUPLEX=OFF\n@PJL SET QTY=1\n" DEFAULT_NAME
         "@PJL SET BINDING=LONGEDGE\n@PJL SET JOBOFFSET=ON\n@PJL SET STAPLEOPTION=ONE\n@PJL SET MEDIASOURCE = "
         "TRAY1\n" ENTER,
     EOJ},
    // Staple names match case-sensitively; tray 5 has no line and falls back to automatic.
    {"sharp lower-case staple, tray 5", "09", J().staple("stapletopleft").tray("tray-5"),
     UEL "@PJL\n@PJL SET COLORMODE=BW\n@PJL SET DUPLEX=OFF\n@PJL SET QTY=1\n" DEFAULT_NAME AUTO ENTER, EOJ},

    {"pantum simplex names its binding", "18", J(),
     UEL "@PJL\n@PJL SET DUPLEX=OFF\n@PJL SET BINDING=LONGEDGE\n@PJL SET QTY=1\n" ENTER, EOJ},
    {"pantum short edge, no finishing or tray lines", "18",
     J().duplex("two-sided-short-edge").staple("StapleTopLeft").booklet("1").tray("tray-2"),
     UEL "@PJL\n@PJL SET DUPLEX=ON\n@PJL SET BINDING=SHORTEDGE\n@PJL SET QTY=1\n" ENTER, EOJ},

    // Brands without entries get the copies line alone.
    {"canon: no entries", "02", J().duplex("two-sided-long-edge").staple("StapleTopLeft").tray("tray-1"),
     UEL "@PJL\n@PJL SET QTY=1\n" ENTER, EOJ},
    {"km code 24 without a table", "24", J().duplex("two-sided-long-edge"), UEL "@PJL\n@PJL SET QTY=1\n" ENTER, EOJ},
    {"unknown brand 00, uncollated", "00", J().copy("2").uncollated(), UEL "@PJL\n@PJL SET COPIES=2\n" ENTER, EOJ},
    {"brand with a blank is unknown", " 05", J().duplex("two-sided-long-edge"), UEL "@PJL\n@PJL SET QTY=1\n" ENTER,
     EOJ},
    {"one-digit brand is unknown", "5", J(), UEL "@PJL\n@PJL SET QTY=1\n" ENTER, EOJ},

    // Brand "03": PJL plus a PWG job ticket; the footer sums the job up.
    {"xerox colour simplex, tray 1, no finishing", "03", J().color("color").tray("tray-1").name("Report.pdf"),
     fixture("xerox-plain.hdr"), xeroxFooter("1", "SIMPLEX", "COLOR")},
    // A booklet is printed on both sides, so the footer says DUPLEX like the ticket.
    {"xerox booklet 1 ignores staple and punch", "03",
     J().booklet("1")
         .staple("StapleTopLeft")
         .holePunch("LeftEdge")
         .holeNumber("1")
         .quality("1")
         .finishOutSize("2")
         .tray("manual")
         .name("Booklet.pdf"),
     fixture("xerox-booklet-fold.hdr"), xeroxFooter("1", "DUPLEX", "GRAYSCALE")},
    {"xerox booklet 2 on a long-edge job", "03",
     J().booklet("2").duplex("two-sided-long-edge").copy("2").name("Booklet.pdf"), fixture("xerox-booklet-maker.hdr"),
     xeroxFooter("2", "DUPLEX", "GRAYSCALE")},
    {"xerox staple and punch, uncollated, draft, A3, tray-", "03",
     J().staple("StapleTopLeft")
         .holePunch("LeftEdge")
         .holeNumber("1")
         .uncollated()
         .copy("3")
         .duplex("two-sided-long-edge")
         .quality("2")
         .finishOutSize("1")
         .tray("tray-")
         .name("Minutes.pdf"),
     fixture("xerox-staple-punch.hdr"), xeroxFooter("3", "DUPLEX", "GRAYSCALE")},
    // Booklet "0" and "None" in any case mean no finishing; an empty duplex is not one-sided.
    {"xerox booklet 0, staple none, punch NONE, tray-1-2", "03",
     J().color("COLOR").duplex("").booklet("0").staple("none").holePunch("NONE").tray("tray-1-2"),
     fixture("xerox-none.hdr"), xeroxFooter("1", "DUPLEX", "COLOR")},
};

class PjlHeaderTest : public ::testing::TestWithParam<Row>
{
};

TEST_P(PjlHeaderTest, GoldenBytes)
{
    const Row &row = GetParam();
    const Job before = row.job;
    PJLHeader pjl(row.job, row.brand);
    EXPECT_TRUE(sameBytes(row.header, pjl.header())) << "header";
    EXPECT_TRUE(sameBytes(row.header, pjl.header())) << "header, second call";
    EXPECT_TRUE(sameBytes(row.footer, pjl.footer())) << "footer";
    EXPECT_EQ(row.job, before);
}

INSTANTIATE_TEST_SUITE_P(Brands, PjlHeaderTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row> &info) { return testName(info.param.label); });

TEST(PjlHeader, KonicaMinoltaCodes)
{
    EXPECT_TRUE(PJLHeader::_isKM("08"));
    EXPECT_TRUE(PJLHeader::_isKM("13"));
    EXPECT_TRUE(PJLHeader::_isKM("24"));
    EXPECT_FALSE(PJLHeader::_isKM("8"));
    EXPECT_FALSE(PJLHeader::_isKM("05"));
}

} // namespace
