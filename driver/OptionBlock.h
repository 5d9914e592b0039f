#pragma once
// What the queue's driver puts in front of the PDF: the print dialog's choices,
// translated into the option block the desktop program reads.
//
//   %KWPDF
//   KEY=VALUE        one line per option
//   %KWPDF_END
//   %PDF-...         the document, unchanged

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace driver {

// PPD option keyword -> marked choice keyword, e.g. {"Duplex", "DuplexNoTumble"}.
using MarkedChoices = std::map<std::string, std::string>;
using BlockLines = std::vector<std::pair<std::string, std::string>>;

// The block's keys and values for the marked choices. Choices the driver does
// not offer are dropped; a booklet overrides stapling and punching, which it
// excludes on the paper path.
BlockLines blockLines(const MarkedChoices &marked);

// "%KWPDF\n" + "KEY=VALUE\n"... + "%KWPDF_END\n".
std::string blockText(const BlockLines &lines);

} // namespace driver
