#include "platform/Log.h"

#include "platform/PlogFormatter.h"
#include "platform/RollingFileSink.h"

#include <spdlog/logger.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace tavrin::log {
namespace {

// Swapped only by init/shutdown; records take a copy of the pointer under the lock.
std::mutex g_loggerMutex;
std::shared_ptr<spdlog::logger> g_logger;
std::atomic<int> g_threshold{spdlog::level::off};

std::shared_ptr<spdlog::logger> current()
{
    std::lock_guard<std::mutex> lock(g_loggerMutex);
    return g_logger;
}

} // namespace

bool init(const Settings &settings)
{
    auto sink = std::make_shared<RollingFileSink>(settings.path, settings.maxFileBytes, settings.maxFiles);
    sink->set_formatter(std::make_unique<PlogFormatter>());
    auto logger = std::make_shared<spdlog::logger>("tavrin", sink);
    logger->set_level(settings.threshold);
    logger->flush_on(spdlog::level::trace);
    {
        std::lock_guard<std::mutex> lock(g_loggerMutex);
        g_logger = logger;
    }
    g_threshold = settings.threshold;
    return sink->isOpen();
}

void shutdown()
{
    std::lock_guard<std::mutex> lock(g_loggerMutex);
    g_logger.reset();
    g_threshold = spdlog::level::off;
}

bool enabled(spdlog::level::level_enum level)
{
    return level != spdlog::level::off && level >= g_threshold.load();
}

void write(spdlog::level::level_enum level, const char *prettyFunction, int line, std::string_view message)
{
    auto logger = current();
    if (!logger)
        return;
    // The formatter shortens the function name; the file name is never recorded.
    logger->log(spdlog::source_loc{"", line, prettyFunction}, level,
                spdlog::string_view_t(message.data(), message.size()));
}

std::string functionName(std::string_view prettyFunction)
{
    std::string_view head = prettyFunction.substr(0, prettyFunction.find('('));
    const auto blank = head.rfind(' ');
    if (blank != std::string_view::npos)
        head.remove_prefix(blank + 1);
    return std::string(head);
}

} // namespace tavrin::log
