// tavrinkwpdf: the CUPS filter of the queue "塔文". It puts the print dialog's
// choices, as an option block, in front of the PDF that pdftopdf produced, and
// passes the PDF on unchanged. CUPS filter rules: no shell, no network.
//
//   tavrinkwpdf job-id user title copies options [file]

#include "driver/OptionBlock.h"

// The PPD interfaces are the only way to read a queue's defaults here.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/cups.h>
#include <cups/ppd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

constexpr const char *kOptions[] = {"ColorModel", "Duplex",          "InputSlot", "Collate",
                                    "KWStaple",   "KWPunch",         "KWNumPunchHoles", "KWBooklet",
                                    "KWFinishOutSize", "KWImageQuality", "KWPrintAsImage", "KWFold"};

struct PpdCloser {
    void operator()(ppd_file_t *ppd) const { ppdClose(ppd); }
};

// The queue's defaults (also those set with lpadmin -o), with the job's options marked over them.
driver::MarkedChoices markedChoices(const char *ppdPath, const char *jobOptions)
{
    driver::MarkedChoices marked;
    if (!ppdPath)
        return marked;
    std::unique_ptr<ppd_file_t, PpdCloser> ppd(ppdOpenFile(ppdPath));
    if (!ppd)
        return marked;
    ppdMarkDefaults(ppd.get());
    cups_option_t *options = nullptr;
    const int count = cupsParseOptions(jobOptions, 0, &options);
    cupsMarkOptions(ppd.get(), count, options);
    cupsFreeOptions(count, options);
    for (const char *name : kOptions) {
        if (const ppd_choice_t *choice = ppdFindMarkedChoice(ppd.get(), name))
            marked[name] = choice->choice;
    }
    return marked;
}

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

int fail(const char *message)
{
    std::fprintf(stderr, "ERROR: %s\n", message);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 6 || argc > 7) {
        std::fputs("Usage: tavrinkwpdf job-id user title copies options [file]\n", stderr);
        return 1;
    }
    const int in = argc == 7 ? ::open(argv[6], O_RDONLY | O_CLOEXEC) : STDIN_FILENO;
    if (in < 0)
        return fail("Unable to open the print file");

    // Read enough to see the PDF header before anything is written.
    char head[5];
    size_t got = 0;
    while (got < sizeof head) {
        const ssize_t n = ::read(in, head + got, sizeof head - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    if (got < sizeof head || std::memcmp(head, "%PDF-", sizeof head) != 0)
        return fail("The document is not a PDF file");

    const std::string block = driver::blockText(driver::blockLines(markedChoices(std::getenv("PPD"), argv[5])));
    std::fprintf(stderr, "DEBUG: option block: %zu bytes\n", block.size());
    if (!writeAll(STDOUT_FILENO, block.data(), block.size()) || !writeAll(STDOUT_FILENO, head, got))
        return fail("Unable to write the document");

    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail("Unable to read the document");
        }
        if (!writeAll(STDOUT_FILENO, buffer, static_cast<size_t>(n)))
            return fail("Unable to write the document");
    }
    return 0;
}
