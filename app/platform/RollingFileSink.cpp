#include "platform/RollingFileSink.h"

#include <cstdio>
#include <sys/stat.h>

namespace tavrin::log {

RollingFileSink::RollingFileSink(std::string path, std::size_t maxFileBytes, std::size_t maxFiles)
    : m_path(std::move(path)), m_maxFileBytes(maxFileBytes), m_maxFiles(maxFiles)
{
    open();
}

RollingFileSink::~RollingFileSink()
{
    if (m_file)
        std::fclose(m_file);
}

std::string RollingFileSink::rolledName(const std::string &path, std::size_t index)
{
    if (index == 0)
        return path;
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot != 0 && (slash == std::string::npos || dot > slash + 1);
    if (!hasExtension)
        return path + "." + std::to_string(index);
    return path.substr(0, dot) + "." + std::to_string(index) + path.substr(dot);
}

void RollingFileSink::open()
{
    m_file = std::fopen(m_path.c_str(), "ab");
    m_size = 0;
    if (!m_file)
        return;
    struct stat st{};
    if (::fstat(fileno(m_file), &st) == 0)
        m_size = static_cast<std::size_t>(st.st_size);
}

void RollingFileSink::roll()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (m_maxFiles > 1) {
        std::remove(rolledName(m_path, m_maxFiles - 1).c_str());
        for (std::size_t i = m_maxFiles - 1; i > 0; --i)
            std::rename(rolledName(m_path, i - 1).c_str(), rolledName(m_path, i).c_str());
    } else {
        std::remove(m_path.c_str());
    }
    open();
}

void RollingFileSink::sink_it_(const spdlog::details::log_msg &msg)
{
    if (!m_file)
        open();
    else if (m_size > m_maxFileBytes)
        roll();
    if (!m_file)
        return;
    spdlog::memory_buf_t formatted;
    formatter_->format(msg, formatted);
    const std::size_t written = std::fwrite(formatted.data(), 1, formatted.size(), m_file);
    m_size += written;
    std::fflush(m_file);
}

void RollingFileSink::flush_()
{
    if (m_file)
        std::fflush(m_file);
}

} // namespace tavrin::log
