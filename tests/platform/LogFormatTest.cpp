// The record layout, byte for byte.

#include "platform/Log.h"
#include "platform/PlogFormatter.h"

#include <spdlog/details/log_msg.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

namespace {

std::string format(spdlog::level::level_enum level, const char *function, int line, const char *text,
                   std::chrono::system_clock::time_point when, size_t tid)
{
    spdlog::details::log_msg msg(when, spdlog::source_loc{"", line, function}, "tavrin", level, text);
    msg.thread_id = tid;
    spdlog::memory_buf_t out;
    tavrin::log::PlogFormatter().format(msg, out);
    return std::string(out.data(), out.size());
}

std::chrono::system_clock::time_point utc(int year, int mon, int day, int h, int m, int s, int ms)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = mon - 1;
    t.tm_mday = day;
    t.tm_hour = h;
    t.tm_min = m;
    t.tm_sec = s;
    return std::chrono::system_clock::from_time_t(timegm(&t)) + std::chrono::milliseconds(ms);
}

class LogFormatTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
};

TEST_F(LogFormatTest, RecordLayout)
{
    const struct {
        spdlog::level::level_enum level;
        const char *function;
        int line;
        const char *text;
        int ms;
        const char *expected;
    } cases[] = {
        {spdlog::level::info, "void config::load()", 123, "hello", 123,
         "2026-12-09 12:05:26.123 INFO  [4242] [config::load@123] hello\n"},
        {spdlog::level::err, "int main(int, char**)", 7, "open file failed:/x", 5,
         "2026-12-09 12:05:26.005 ERROR [4242] [main@7] open file failed:/x\n"},
        {spdlog::level::debug, "static QString util::f(const QString&)", 1, "", 0,
         "2026-12-09 12:05:26.000 DEBUG [4242] [util::f@1] \n"},
        {spdlog::level::warn, "void f()", 2, "w", 999, "2026-12-09 12:05:26.999 WARN  [4242] [f@2] w\n"},
        {spdlog::level::critical, "void f()", 2, "x", 1, "2026-12-09 12:05:26.001 FATAL [4242] [f@2] x\n"},
        {spdlog::level::trace, "void f()", 2, "v", 1, "2026-12-09 12:05:26.001 VERB  [4242] [f@2] v\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(format(c.level, c.function, c.line, c.text, utc(2026, 12, 9, 12, 5, 26, c.ms), 4242), c.expected);
}

TEST_F(LogFormatTest, FieldsAreZeroPadded)
{
    EXPECT_EQ(format(spdlog::level::info, "void f()", 9, "m", utc(2027, 1, 2, 3, 4, 5, 6), 7),
              "2027-01-02 03:04:05.006 INFO  [7] [f@9] m\n");
}

TEST(LogFunctionName, QualifiedNameWithoutReturnTypeAndParameters)
{
    const struct {
        const char *pretty;
        const char *expected;
    } cases[] = {
        {"void config::load()", "config::load"},
        {"int main(int, char**)", "main"},
        {"static QString util::foo(const QString&)", "util::foo"},
        {"capture::Result capture::captureJob(const capture::Request&)", "capture::captureJob"},
        {"virtual void WorkerThread::run()", "WorkerThread::run"},
        {"config::load()::<lambda()>", "config::load"},
        {"main", "main"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tavrin::log::functionName(c.pretty), c.expected) << c.pretty;
}

} // namespace
