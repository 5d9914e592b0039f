#pragma once
// Helpers for the PJL tests: a job built field by field, golden files, and a
// byte comparison that names the first difference in hex.

#include "intake/Job.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

namespace pjltest {

#define UEL "\x1b%-12345X"

// A default job with the fields a row changes.
class J
{
public:
    J &color(const char *v) { return set(job_.color, v); }
    J &duplex(const char *v) { return set(job_.duplex, v); }
    J &copy(const char *v) { return set(job_.copy, v); }
    J &uncollated() { return set(job_.collate, "separate-documents-uncollated-copies"); }
    J &tray(const char *v) { return set(job_.tray, v); }
    J &name(const QString &v)
    {
        job_.name = v;
        return *this;
    }
    J &name(const char *v) { return set(job_.name, v); }
    J &staple(const char *v) { return set(job_.staple, v); }
    J &holePunch(const char *v) { return set(job_.holePunch, v); }
    J &holeNumber(const char *v) { return set(job_.holeNumber, v); }
    J &booklet(const char *v) { return set(job_.booklet, v); }
    J &quality(const char *v) { return set(job_.quality, v); }
    J &finishOutSize(const char *v) { return set(job_.finishOutSize, v); }
    operator Job() const { return job_; }

private:
    J &set(QString &field, const char *v)
    {
        field = QString::fromUtf8(v);
        return *this;
    }
    Job job_;
};

inline std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string fixture(const char *name)
{
    const std::string bytes = readFile(std::string(TAVRIN_SOURCE_DIR "/tests/fixtures/pjl/") + name);
    return bytes.empty() ? std::string("<missing fixture ") + name + ">" : bytes;
}

inline std::string hexAround(const std::string &bytes, std::size_t at)
{
    std::string out;
    const std::size_t from = at < 8 ? 0 : at - 8;
    for (std::size_t i = from; i < bytes.size() && i < at + 8; ++i) {
        char buf[8];
        std::snprintf(buf, sizeof buf, i == at ? "[%02x] " : "%02x ", static_cast<unsigned char>(bytes[i]));
        out += buf;
    }
    return out;
}

// Exact byte equality; on a mismatch, the offset and the bytes around it.
inline ::testing::AssertionResult sameBytes(const std::string &expected, const std::string &actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    return ::testing::AssertionFailure() << "first difference at byte " << at << " (expected " << expected.size()
                                         << " bytes, got " << actual.size()
                                         << ")\n  expected: " << hexAround(expected, at)
                                         << "\n  actual:   " << hexAround(actual, at) << "\n  actual text:\n"
                                         << actual;
}

} // namespace pjltest
