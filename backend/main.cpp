// kwprint: the CUPS backend of the scheme "tavrin". It copies each job into
// the submitting user's spool directory, where the desktop program takes it.

#include "backend/Capture.h"
#include "backend/SpoolFormat.h"
#include "platform/Log.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kBackendCancel = 5; // CUPS_BACKEND_CANCEL: ends this job, keeps the queue going

std::string envOr(const char *name, const char *fallback)
{
    const char *value = std::getenv(name);
    return value && *value ? value : fallback;
}

// Names from the client may hold anything; keep each record on its line.
std::string printable(std::string text)
{
    for (char &c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return text;
}

void onTerminate(int)
{
    capture::requestCancel();
}

} // namespace

int main(int argc, char *argv[])
{
    tavrin::log::Settings settings;
    settings.path = envOr("TAVRIN_BACKEND_LOG", "/var/log/tavrinback.log");
    settings.threshold = spdlog::level::debug;
    settings.maxFileBytes = 10000000;
    settings.maxFiles = 10;
    tavrin::log::init(settings);

    const std::string deviceUri = argc > 0 ? argv[0] : "";
    LOG_PLAIN_INFO("receive job from:" + deviceUri);
    std::string printFile;
    if (argc == 7) {
        printFile = argv[6];
        LOG_PLAIN_INFO("spool file:" + printFile);
    }
    if (argc <= 1) {
        LOG_PLAIN_INFO("param error:" + deviceUri);
        return 0;
    }
    if (argc < 6 || argc > 7) {
        LOG_PLAIN_INFO("usage: kwprint job-id user title copies options [file]");
        return 0;
    }

    // CUPS sends SIGTERM when the job is cancelled: stop copying and clean up.
    struct sigaction action{};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    capture::Request request;
    request.fileDir = envOr("TAVRIN_FILE_DIR", spool::kDefaultFileDir);
    request.deviceUri = deviceUri;
    request.user = argv[2];
    request.title = argv[3];
    request.copies = argv[4];
    request.options = argv[5];
    request.printFile = printFile;

    const capture::Result result = capture::captureJob(request);
    if (!result.ok) {
        LOG_PLAIN_ERROR("capture failed for:" + printable(request.user) + " " + printable(result.error));
        std::fprintf(stderr, "ERROR: Unable to capture job: %s\n", result.error.c_str());
        return kBackendCancel;
    }
    LOG_PLAIN_INFO("done");
    return 0;
}
