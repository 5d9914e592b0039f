#pragma once
// The files through which the capture backend hands a job to the desktop
// program. For each job, in the user's spool directory:
//   ID.tmp        the print data, byte for byte
//   ID.tmp.ctrl   seven KEY=value lines (controlText)
//   ID.tmp.done   the 36 characters of ID; written last, it commits the job
// The reader acts only on markers and deletes each marker as it takes the job.

#include <string>
#include <string_view>

namespace spool {

inline constexpr char kDocumentSuffix[] = ".tmp";
inline constexpr char kControlSuffix[] = ".ctrl";
inline constexpr char kDoneSuffix[] = ".done";
inline constexpr char kDefaultFileDir[] = "/opt/apps/com.kestrelware.tavrin/files";

// fileDir + "/bin/tavrin/" (ends with a slash).
std::string spoolRoot(const std::string &fileDir);

struct ControlFields {
    std::string jobFile;
    std::string user;
    std::string title;
    std::string copies;
    std::string deviceUri;
    std::string jobId;
    std::string options;
};

// JOB_FILE=, USER=, DOCNAME=, COPY=, PORT=, JOBID=, OPTION=, each ended by "\n".
// A line feed or carriage return inside a value becomes a blank, so a value
// can never add a line of its own.
std::string controlText(const ControlFields &fields);

// A user name may name a directory: not empty, not "." or "..", no "/",
// no control characters, at most 255 bytes.
bool isSafeUserName(std::string_view name);

} // namespace spool
