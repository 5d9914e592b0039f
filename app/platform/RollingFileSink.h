#pragma once

#include <spdlog/sinks/base_sink.h>

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

namespace tavrin::log {

// Appends to an existing file; once the file has grown past maxFileBytes the
// next record first rolls name.log -> name.1.log -> ... -> name.(maxFiles-1).log,
// dropping the oldest, and starts a fresh name.log. A file may therefore pass
// the limit by one record, never more.
class RollingFileSink final : public spdlog::sinks::base_sink<std::mutex>
{
public:
    RollingFileSink(std::string path, std::size_t maxFileBytes, std::size_t maxFiles);
    ~RollingFileSink() override;

    bool isOpen() const { return m_file != nullptr; }

    // "dir/app.log", 3 -> "dir/app.3.log"; index 0 is the live file.
    static std::string rolledName(const std::string &path, std::size_t index);

protected:
    void sink_it_(const spdlog::details::log_msg &msg) override;
    void flush_() override;

private:
    void open();
    void roll();

    std::string m_path;
    std::size_t m_maxFileBytes;
    std::size_t m_maxFiles;
    std::FILE *m_file = nullptr;
    std::size_t m_size = 0;
};

} // namespace tavrin::log
