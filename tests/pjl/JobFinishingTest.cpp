// The finishing elements of the brand "03" job ticket and the normalising of
// the job's finishing fields.

#include "PjlSupport.h"

#include <vector>

using namespace pjltest;

namespace {

const std::string kScaling =
    "<ScalingFactor><ScalingFactorX>100</ScalingFactorX><ScalingFactorY>100</ScalingFactorY></ScalingFactor>";
const std::string kBooklet = "<NumberUp>2</NumberUp>\n<ImpositionTemplate>BookletSignature</ImpositionTemplate>\n";

struct FinishingRow {
    const char *label;
    Job job;
    std::string finishing;
    // The finishing fields afterwards: staple, holePunch, booklet.
    const char *staple;
    const char *holePunch;
    const char *booklet;
};

void PrintTo(const FinishingRow &row, std::ostream *os)
{
    *os << row.label;
}

const std::vector<FinishingRow> kFinishing = {
    {"no finishing", J(), kScaling, "", "", ""},
    {"staple and LeftEdge punch with one hole number",
     J().staple("StapleTopLeft").holePunch("LeftEdge").holeNumber("1"),
     kScaling +
         "<Finishings>\n<Finishing>StapleTopLeft</Finishing><Finishing>Punch3HoleLeft</Finishing></Finishings>\n",
     "StapleTopLeft", "Left", ""},
    // A hole number that is not a number counts as 0; a side without "Edge" stays as it is.
    {"punch alone, hole number not a number", J().holePunch("Top").holeNumber("two"),
     kScaling + "<Finishings>\n<Finishing>Punch2HoleTop</Finishing></Finishings>\n", "", "Top", ""},
    {"largest hole number does not overflow", J().holePunch("LeftEdge").holeNumber("2147483647"),
     kScaling + "<Finishings>\n<Finishing>Punch2147483649HoleLeft</Finishing></Finishings>\n", "", "Left", ""},
    {"None in any case and booklet 0 mean none", J().staple("NONE").holePunch("none").booklet("0"), kScaling, "", "",
     ""},
    {"booklet 1 ignores staple and punch", J().booklet("1").staple("StapleTopLeft").holePunch("LeftEdge"),
     kBooklet + "<Finishings>\n<Finishing>BookletFold</Finishing>\n<Finishing>BindLeftPortrait</Finishing>\n"
                "</Finishings>\n",
     "StapleTopLeft", "Left", "1"},
    {"booklet 2", J().booklet("2"),
     kBooklet + "<Finishings>\n<Finishing>BookletMaker</Finishing>\n<Finishing>BindLeftPortrait</Finishing>\n"
                "</Finishings>\n",
     "", "", "2"},
    {"other booklet value: imposition only", J().booklet("3"), kBooklet, "", "", "3"},
    // Values land in XML element text: markup is escaped, control bytes dropped.
    {"markup in option values", J().staple("A<b>&c").holePunch("x\x1b<y>"),
     kScaling + "<Finishings>\n<Finishing>A&lt;b&gt;&amp;c</Finishing><Finishing>Punch2Holex&lt;y&gt;</Finishing>"
                "</Finishings>\n",
     "A<b>&c", "x\x1b<y>", ""},
};

class JobFinishingTest : public ::testing::TestWithParam<FinishingRow>
{
};

TEST_P(JobFinishingTest, TicketElements)
{
    const FinishingRow &row = GetParam();
    Job job = row.job;
    EXPECT_TRUE(sameBytes(row.finishing, job.GetFinishingPJL().toStdString()));
    EXPECT_EQ(job.staple.toStdString(), row.staple);
    EXPECT_EQ(job.holePunch.toStdString(), row.holePunch);
    EXPECT_EQ(job.booklet.toStdString(), row.booklet);
    EXPECT_TRUE(sameBytes(row.finishing, job.GetFinishingPJL().toStdString())) << "second call";
}

INSTANTIATE_TEST_SUITE_P(Options, JobFinishingTest, ::testing::ValuesIn(kFinishing));

} // namespace
