#pragma once
// The print options that the queue's driver writes in front of the PDF,
// one KEY=VALUE line each, between a "%KWPDF" line and a "%KWPDF_END" line.

#include <string>

namespace kestrelware {

struct JobOption {
    std::string colorMode;     // KWColorMode
    int duplex = 0;            // KWDuplex: 2 short edge, 3 long edge, anything else one-sided
    std::string inputSlot;     // InputSlot
    std::string staple;        // KWStaple
    std::string fold;          // KWFold
    std::string punch;         // KWPunch
    std::string numPunchHoles; // KWNumPunchHoles
    std::string booklet;       // KWBooklet
    std::string collate;       // KWCollate
    std::string finishOutSize; // KWFinishOutSize
    std::string imageQuality;  // KWImageQuality
    bool printAsImage = false; // KWPrintAsImage, true only for "1"
};

} // namespace kestrelware
