#pragma once

#include "intake/JobOption.h"

#include <string>

namespace kestrelware {

class PSUtil
{
public:
    // Reads the option block at the front of the document at `path` into
    // `option`. When the block is complete, the rest of the document is copied
    // (streamed, never held in memory) to path + ".dest", the original is
    // deleted and the new path is returned. Otherwise, and whenever the copy
    // cannot be written completely, the document stays as it is and `path` is
    // returned. Never fails visibly; the log keeps the trace.
    static std::wstring FilterPdf(const std::wstring &path, JobOption &option);
};

} // namespace kestrelware
