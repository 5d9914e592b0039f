#include "platform/PlogFormatter.h"

#include "platform/Log.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace tavrin::log {

const char *severityName(spdlog::level::level_enum level)
{
    switch (level) {
    case spdlog::level::critical: return "FATAL";
    case spdlog::level::err: return "ERROR";
    case spdlog::level::warn: return "WARN";
    case spdlog::level::info: return "INFO";
    case spdlog::level::debug: return "DEBUG";
    case spdlog::level::trace: return "VERB";
    default: return "NONE";
    }
}

void PlogFormatter::format(const spdlog::details::log_msg &msg, spdlog::memory_buf_t &dest)
{
    using namespace std::chrono;
    const auto sinceEpoch = msg.time.time_since_epoch();
    const std::time_t seconds = duration_cast<std::chrono::seconds>(sinceEpoch).count();
    const int millis = static_cast<int>(duration_cast<milliseconds>(sinceEpoch).count() % 1000);
    std::tm local{};
    localtime_r(&seconds, &local);

    char head[96];
    const int n = std::snprintf(head, sizeof head, "%04d-%02d-%02d %02d:%02d:%02d.%03d %-5s [%zu] [",
                                local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                local.tm_min, local.tm_sec, millis, severityName(msg.level), msg.thread_id);
    dest.append(head, head + n);
    const std::string function = functionName(msg.source.funcname ? msg.source.funcname : "");
    dest.append(function.data(), function.data() + function.size());
    const std::string line = "@" + std::to_string(msg.source.line) + "] ";
    dest.append(line.data(), line.data() + line.size());
    dest.append(msg.payload.data(), msg.payload.data() + msg.payload.size());
    dest.push_back('\n');
}

std::unique_ptr<spdlog::formatter> PlogFormatter::clone() const
{
    return std::make_unique<PlogFormatter>();
}

} // namespace tavrin::log
