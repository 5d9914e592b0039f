#include "backend/SpoolFormat.h"

namespace spool {
namespace {

std::string oneLine(std::string value)
{
    for (char &c : value) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return value;
}

} // namespace

std::string spoolRoot(const std::string &fileDir)
{
    return fileDir + "/bin/tavrin/";
}

std::string controlText(const ControlFields &f)
{
    std::string text;
    text += "JOB_FILE=" + oneLine(f.jobFile) + "\n";
    text += "USER=" + oneLine(f.user) + "\n";
    text += "DOCNAME=" + oneLine(f.title) + "\n";
    text += "COPY=" + oneLine(f.copies) + "\n";
    text += "PORT=" + oneLine(f.deviceUri) + "\n";
    text += "JOBID=" + oneLine(f.jobId) + "\n";
    text += "OPTION=" + oneLine(f.options) + "\n";
    return text;
}

bool isSafeUserName(std::string_view name)
{
    if (name.empty() || name.size() > 255 || name == "." || name == "..")
        return false;
    for (unsigned char c : name) {
        if (c == '/' || c < 0x20 || c == 0x7f)
            return false;
    }
    return true;
}

} // namespace spool
