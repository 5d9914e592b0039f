#pragma once
// The delivery-mode table: which path serves a printer's mode and what the
// dispatcher logs around it. Keys are compared exactly.

#include <QString>
#include <QStringList>

namespace delivery {

enum class Route {
    IppPdf,      // "pdf": the PDF over IPP
    DirectOrIpp, // "dirpdf": raw port 9100, IPP when the port is closed
    PwgRaster,   // "pwg"
    ApUrf,       // "ap_urf"
    GsUrf,       // "gs_urf"
};

struct ModeEntry {
    const char *key;
    Route route;
    QStringList logBefore; // written before the delivery
    QStringList logAfter;  // written after it, whatever its result
};

// The entry for a mode, or nullptr for "Unknow", the empty text and any
// other value (other letter case included).
const ModeEntry *modeEntry(const QString &mode);

} // namespace delivery
