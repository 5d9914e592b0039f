#pragma once

#include <string>

namespace capture {

struct Request {
    std::string fileDir;   // the program directory; the spool root lies below it
    std::string deviceUri; // argv[0]
    std::string user;      // argv[2]
    std::string title;     // argv[3]
    std::string copies;    // argv[4]
    std::string options;   // argv[5]
    std::string printFile; // argv[6], or empty for standard input
};

struct Result {
    bool ok = false;
    std::string jobId;
    std::string error; // why nothing was captured; the job's files are gone then
};

// Writes the document, the control file and, last, the done marker into the
// user's spool directory, owned by the user's account and readable by nobody
// else. On any failure removes what it wrote.
Result captureJob(const Request &request);

// Set from a signal handler: the copy stops and the partial job is removed.
void requestCancel();

} // namespace capture
