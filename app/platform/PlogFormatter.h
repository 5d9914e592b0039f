#pragma once

#include <spdlog/formatter.h>

namespace tavrin::log {

// Lays a record out as
//   "YYYY-MM-DD hh:mm:ss.mmm SEVER [tid] [function@line] message\n"
// with the severity left-aligned in five columns and the local time.
class PlogFormatter final : public spdlog::formatter
{
public:
    void format(const spdlog::details::log_msg &msg, spdlog::memory_buf_t &dest) override;
    std::unique_ptr<spdlog::formatter> clone() const override;
};

const char *severityName(spdlog::level::level_enum level);

} // namespace tavrin::log
