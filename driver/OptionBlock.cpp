#include "driver/OptionBlock.h"

namespace driver {
namespace {

// One table per option: the PPD choice and the value the block carries for it.
using ChoiceTable = std::map<std::string, std::string>;

const ChoiceTable kColor{{"RGB", "Color"}, {"Gray", "Gray"}};
const ChoiceTable kDuplex{{"None", "1"}, {"DuplexNoTumble", "3"}, {"DuplexTumble", "2"}};
const ChoiceTable kInputSlot{{"Auto", "Auto"},   {"Tray1", "Tray1"}, {"Tray2", "Tray2"},          {"Tray3", "Tray3"},
                             {"Tray4", "Tray4"}, {"ManualFeed", "ManualFeed"}, {"ByPassTray", "ByPassTray"}};
const ChoiceTable kCollate{{"True", "True"}, {"False", "False"}};
const ChoiceTable kStaple{{"None", "None"},
                          {"StapleTopLeft", "StapleTopLeft"},
                          {"StapleTopRight", "StapleTopRight"},
                          {"StapleDualLeft", "StapleDualLeft"},
                          {"StapleDualRight", "StapleDualRight"},
                          {"StapleDualTop", "StapleDualTop"}};
const ChoiceTable kPunch{{"None", "None"}, {"LeftEdge", "LeftEdge"}, {"TopEdge", "TopEdge"}, {"RightEdge", "RightEdge"}};
// The block counts holes from two: 0 = two holes, 1 = three, 2 = four.
const ChoiceTable kPunchHoles{{"2Holes", "0"}, {"3Holes", "1"}, {"4Holes", "2"}};
const ChoiceTable kBooklet{{"0", "0"}, {"1", "1"}, {"2", "2"}};
// Finished size: 1 = A3, 2 = A4 (what both the PJL header and the job ticket
// understand); "0" keeps the size of the document.
const ChoiceTable kFinishSize{{"None", "0"}, {"A3", "1"}, {"A4", "2"}};
// Image quality: 0 = normal, 1 = high, 2 = draft.
const ChoiceTable kQuality{{"Normal", "0"}, {"High", "1"}, {"Draft", "2"}};
const ChoiceTable kPrintAsImage{{"False", "0"}, {"True", "1"}};
const ChoiceTable kFold{{"None", "None"}, {"HalfFold", "HalfFold"}, {"TriFold", "TriFold"}};

std::string lookup(const MarkedChoices &marked, const char *option, const ChoiceTable &table)
{
    const auto m = marked.find(option);
    if (m == marked.end())
        return std::string();
    const auto c = table.find(m->second);
    return c == table.end() ? std::string() : c->second;
}

} // namespace

BlockLines blockLines(const MarkedChoices &marked)
{
    BlockLines lines;
    auto add = [&lines](const char *key, const std::string &value) {
        if (!value.empty())
            lines.emplace_back(key, value);
    };
    const std::string booklet = lookup(marked, "KWBooklet", kBooklet);
    const bool isBooklet = booklet == "1" || booklet == "2";

    add("KWColorMode", lookup(marked, "ColorModel", kColor));
    add("KWDuplex", lookup(marked, "Duplex", kDuplex));
    add("InputSlot", lookup(marked, "InputSlot", kInputSlot));
    add("KWCollate", lookup(marked, "Collate", kCollate));
    add("KWStaple", isBooklet ? std::string("None") : lookup(marked, "KWStaple", kStaple));
    add("KWPunch", isBooklet ? std::string("None") : lookup(marked, "KWPunch", kPunch));
    add("KWNumPunchHoles", lookup(marked, "KWNumPunchHoles", kPunchHoles));
    // The desktop program reads a booklet value holding "0" as uncollated copies,
    // so "0" is written only to say exactly that.
    const bool uncollated = lookup(marked, "Collate", kCollate) == "False";
    add("KWBooklet", isBooklet ? booklet : (uncollated ? std::string("0") : std::string()));
    add("KWFinishOutSize", lookup(marked, "KWFinishOutSize", kFinishSize));
    add("KWImageQuality", lookup(marked, "KWImageQuality", kQuality));
    add("KWPrintAsImage", lookup(marked, "KWPrintAsImage", kPrintAsImage));
    add("KWFold", lookup(marked, "KWFold", kFold));
    return lines;
}

std::string blockText(const BlockLines &lines)
{
    std::string text = "%KWPDF\n";
    for (const auto &[key, value] : lines)
        text += key + "=" + value + "\n";
    text += "%KWPDF_END\n";
    return text;
}

} // namespace driver
