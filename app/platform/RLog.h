#pragma once
// The desktop program's log: every message is enciphered before it is written.

#include "platform/Log.h"

#include <QString>

#include <string>

namespace util {

// The log form of a message: des_encrypt_str under the local key.
std::string rlogRet(const std::string &text);

// Creates the log directory (one level) and opens app.log in it.
bool initAppLog(const QString &logDir);

inline std::string logText(const std::string &text) { return text; }
inline std::string logText(const char *text) { return text ? std::string(text) : std::string(); }
inline std::string logText(const QString &text) { return text.toStdString(); }

} // namespace util

// Enciphers only when the record will be written.
#define TLOG(text)                                                                             \
    do {                                                                                       \
        if (::tavrin::log::enabled(::spdlog::level::info))                                     \
            ::tavrin::log::write(::spdlog::level::info, __PRETTY_FUNCTION__, __LINE__,         \
                                 ::util::rlogRet(::util::logText(text)));                      \
    } while (0)
