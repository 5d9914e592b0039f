#pragma once
// The rolling text log of both programs: one line per record,
//   2026-12-09 12:05:26.123 INFO  [4242] [config::load@123] message
// in app.log, app.1.log ... app.9.log (the highest number the oldest).

#include <spdlog/common.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrin::log {

struct Settings {
    std::string path;
    spdlog::level::level_enum threshold = spdlog::level::info;
    std::size_t maxFileBytes = 5000000;
    std::size_t maxFiles = 10;
};

// Sets up the process-wide log. Safe to call again (the old log is closed).
// Returns false when the file cannot be opened; records are then dropped.
bool init(const Settings &settings);
void shutdown();

bool enabled(spdlog::level::level_enum level);
void write(spdlog::level::level_enum level, const char *prettyFunction, int line, std::string_view message);

// "void config::load()" -> "config::load": the text before the first "(",
// from the character after the last blank.
std::string functionName(std::string_view prettyFunction);

} // namespace tavrin::log

#define TAVRIN_LOG_PLAIN(level, text)                                                          \
    do {                                                                                       \
        if (::tavrin::log::enabled(level))                                                     \
            ::tavrin::log::write(level, __PRETTY_FUNCTION__, __LINE__, (text));                \
    } while (0)

#define LOG_PLAIN_DEBUG(text) TAVRIN_LOG_PLAIN(::spdlog::level::debug, text)
#define LOG_PLAIN_INFO(text) TAVRIN_LOG_PLAIN(::spdlog::level::info, text)
#define LOG_PLAIN_ERROR(text) TAVRIN_LOG_PLAIN(::spdlog::level::err, text)
