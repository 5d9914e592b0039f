// The print dialog's choices as the option block carries them.

#include "driver/OptionBlock.h"

#include <gtest/gtest.h>

namespace {

using driver::BlockLines;
using driver::MarkedChoices;

const MarkedChoices kDefaults{{"ColorModel", "RGB"},    {"Duplex", "None"},         {"InputSlot", "Auto"},
                              {"Collate", "True"},      {"KWStaple", "None"},       {"KWPunch", "None"},
                              {"KWNumPunchHoles", "2Holes"}, {"KWBooklet", "0"},    {"KWFinishOutSize", "None"},
                              {"KWImageQuality", "Normal"}, {"KWPrintAsImage", "False"}, {"KWFold", "None"}};

MarkedChoices with(std::initializer_list<std::pair<const std::string, std::string>> changes)
{
    MarkedChoices m = kDefaults;
    for (const auto &[k, v] : changes)
        m[k] = v;
    return m;
}

std::string valueOf(const BlockLines &lines, const std::string &key)
{
    for (const auto &[k, v] : lines) {
        if (k == key)
            return v;
    }
    return "<absent>";
}

TEST(OptionBlock, DefaultsInOrder)
{
    const BlockLines expected{{"KWColorMode", "Color"}, {"KWDuplex", "1"},        {"InputSlot", "Auto"},
                              {"KWCollate", "True"},    {"KWStaple", "None"},     {"KWPunch", "None"},
                              {"KWNumPunchHoles", "0"}, {"KWFinishOutSize", "0"}, {"KWImageQuality", "0"},
                              {"KWPrintAsImage", "0"},  {"KWFold", "None"}};
    EXPECT_EQ(driver::blockLines(kDefaults), expected);
    EXPECT_EQ(driver::blockText({{"KWColorMode", "Gray"}, {"KWDuplex", "3"}}),
              "%KWPDF\nKWColorMode=Gray\nKWDuplex=3\n%KWPDF_END\n");
}

TEST(OptionBlock, ChoicesMapToBlockValues)
{
    const struct {
        MarkedChoices marked;
        const char *key;
        const char *value;
    } cases[] = {
        {with({{"ColorModel", "Gray"}}), "KWColorMode", "Gray"},
        {with({{"Duplex", "DuplexNoTumble"}}), "KWDuplex", "3"},   // long edge
        {with({{"Duplex", "DuplexTumble"}}), "KWDuplex", "2"},     // short edge
        {with({{"InputSlot", "Tray2"}}), "InputSlot", "Tray2"},
        {with({{"InputSlot", "ManualFeed"}}), "InputSlot", "ManualFeed"},
        {with({{"KWStaple", "StapleDualTop"}}), "KWStaple", "StapleDualTop"},
        {with({{"KWPunch", "LeftEdge"}, {"KWNumPunchHoles", "4Holes"}}), "KWNumPunchHoles", "2"}, // holes - 2
        {with({{"KWFinishOutSize", "A3"}}), "KWFinishOutSize", "1"},
        {with({{"KWFinishOutSize", "A4"}}), "KWFinishOutSize", "2"},
        {with({{"KWFinishOutSize", "A5"}}), "KWFinishOutSize", "<absent>"},
        {with({{"KWImageQuality", "Draft"}}), "KWImageQuality", "2"},
        {with({{"KWPrintAsImage", "True"}}), "KWPrintAsImage", "1"},
        {with({{"KWBooklet", "2"}}), "KWBooklet", "2"},
        // Booklets exclude corner staples and punching.
        {with({{"KWBooklet", "1"}, {"KWStaple", "StapleTopLeft"}}), "KWStaple", "None"},
        {with({{"KWBooklet", "1"}, {"KWPunch", "TopEdge"}}), "KWPunch", "None"},
        // Without a booklet, "0" is written only to ask for uncollated copies.
        {with({{"Collate", "False"}}), "KWBooklet", "0"},
        {with({{"Collate", "True"}}), "KWBooklet", "<absent>"},
        // Values the driver does not offer are dropped.
        {with({{"KWStaple", "Bogus"}}), "KWStaple", "<absent>"},
        {with({{"ColorModel", "CMYK"}}), "KWColorMode", "<absent>"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(valueOf(driver::blockLines(c.marked), c.key), c.value) << c.key;
}

} // namespace
