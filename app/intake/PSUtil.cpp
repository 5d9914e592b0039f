#include "intake/PSUtil.h"

#include "platform/RLog.h"

#include <QString>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <memory>
#include <unistd.h>
#include <vector>

namespace kestrelware {
namespace {

constexpr int kMaxBlockLines = 200;
constexpr std::size_t kLinePiece = 1023;
constexpr std::size_t kCopyChunk = 64 * 1024;
constexpr char kBlockStart[] = "%KWPDF";
constexpr char kBlockEnd[] = "%KWPDF_END";

struct FileCloser {
    void operator()(FILE *f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

using OptionMap = std::map<std::string, std::string>;

// Reads up to kLinePiece bytes, stopping after a line feed: a longer line
// comes back in pieces. False when nothing was left to read.
bool readPiece(FILE *in, std::string &piece)
{
    piece.clear();
    int c;
    while (piece.size() < kLinePiece && (c = std::getc(in)) != EOF) {
        piece.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
    }
    return !piece.empty();
}

bool atEnd(FILE *in)
{
    const int c = std::getc(in);
    if (c == EOF)
        return true;
    std::ungetc(c, in);
    return false;
}

std::string trimmed(const std::string &text)
{
    constexpr char kSpace[] = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// KEY=VALUE with exactly one "="; anything else is not an option line.
void storeOption(const std::string &line, OptionMap &values)
{
    const auto eq = line.find('=');
    if (eq == std::string::npos || line.find('=', eq + 1) != std::string::npos)
        return;
    values[line.substr(0, eq)] = line.substr(eq + 1);
}

int toInt(const std::string &text)
{
    errno = 0;
    char *end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return 0;
    return static_cast<int>(value);
}

// Every known key lands in the record; a missing key counts as empty and is
// added to the map so that the log shows it.
void fill(JobOption &option, OptionMap &values)
{
    option.colorMode = values["KWColorMode"];
    option.duplex = toInt(values["KWDuplex"]);
    option.inputSlot = values["InputSlot"];
    option.staple = values["KWStaple"];
    option.fold = values["KWFold"];
    option.punch = values["KWPunch"];
    option.numPunchHoles = values["KWNumPunchHoles"];
    option.booklet = values["KWBooklet"];
    option.collate = values["KWCollate"];
    option.finishOutSize = values["KWFinishOutSize"];
    option.imageQuality = values["KWImageQuality"];
    option.printAsImage = values["KWPrintAsImage"] == "1";
}

// The copy always goes into a file made here: a link or a file left under the
// stripped document's name is replaced, never written through.
FilePtr createStripped(const std::string &dest)
{
    ::unlink(dest.c_str());
    const int fd = ::open(dest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    FILE *f = ::fdopen(fd, "wb");
    if (!f)
        ::close(fd);
    return FilePtr(f);
}

// Streams the rest of the input in fixed chunks. False on a read or write error.
bool copyRest(FILE *in, FILE *out)
{
    std::vector<char> chunk(kCopyChunk);
    for (;;) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), in);
        if (got > 0 && std::fwrite(chunk.data(), 1, got, out) != got)
            return false;
        if (got < chunk.size())
            return !std::ferror(in);
    }
}

// fclose reports what buffered writes could not put on disk.
bool closeWritten(FilePtr &out)
{
    const bool flushed = std::fflush(out.get()) == 0 && !std::ferror(out.get());
    return std::fclose(out.release()) == 0 && flushed;
}

} // namespace

std::wstring PSUtil::FilterPdf(const std::wstring &path, JobOption &option)
{
    option.inputSlot = "Auto";
    const std::string input = QString::fromStdWString(path).toUtf8().toStdString();
    const std::string dest = input + ".dest";

    FilePtr in(std::fopen(input.c_str(), "rbe"));
    if (!in)
        return path;
    FilePtr out = createStripped(dest);
    if (!out)
        return path;

    OptionMap values;
    bool complete = false;
    bool copyFailed = false;
    std::string line;
    if (readPiece(in.get(), line) && line.find(kBlockStart) != std::string::npos) {
        for (int i = 0; i < kMaxBlockLines && !atEnd(in.get()); ++i) {
            readPiece(in.get(), line);
            if (line.find(kBlockEnd) != std::string::npos) {
                complete = copyRest(in.get(), out.get());
                copyFailed = !complete;
                break;
            }
            storeOption(trimmed(line), values);
        }
    }
    in.reset();
    if (!closeWritten(out) && complete) {
        complete = false;
        copyFailed = true;
    }

    fill(option, values);
    for (const auto &entry : values)
        TLOG(entry.first + ":" + entry.second);

    // A stripped copy that is not whole must never replace the only copy of the document.
    if (copyFailed)
        TLOG("cannot write stripped document: " + dest);
    if (complete) {
        std::remove(input.c_str());
        return path + L".dest";
    }
    std::remove(dest.c_str());
    return path;
}

} // namespace kestrelware
