// The control file, byte for byte, and the names that may become spool paths.

#include "backend/SpoolFormat.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Shows where two byte strings part, in hex, so a golden mismatch is readable.
std::string firstDifference(const std::string &a, const std::string &b)
{
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    char buf[96];
    std::snprintf(buf, sizeof buf, "first difference at byte %zu: %02x vs %02x", i,
                  i < a.size() ? static_cast<unsigned char>(a[i]) : 0u,
                  i < b.size() ? static_cast<unsigned char>(b[i]) : 0u);
    return buf;
}

TEST(ControlText, GoldenBytes)
{
    const struct {
        spool::ControlFields fields;
        std::string expected;
    } cases[] = {
        {{"/opt/apps/com.kestrelware.tavrin/files/bin/tavrin/alice/ID.tmp", "alice", "Report 3.pdf", "1",
          "tavrin://printer", "ID", "PageSize=A4 ColorModel=Gray number-up=1"},
         "JOB_FILE=/opt/apps/com.kestrelware.tavrin/files/bin/tavrin/alice/ID.tmp\nUSER=alice\n"
         "DOCNAME=Report 3.pdf\nCOPY=1\nPORT=tavrin://printer\nJOBID=ID\n"
         "OPTION=PageSize=A4 ColorModel=Gray number-up=1\n"},
        // An empty options string still gives its line.
        {{"/d", "bob", "t", "2", "tavrin://printer", "X", ""},
         "JOB_FILE=/d\nUSER=bob\nDOCNAME=t\nCOPY=2\nPORT=tavrin://printer\nJOBID=X\nOPTION=\n"},
        // A title or option with a line break cannot forge a line such as COPY=999.
        {{"/d", "bob", "a\nCOPY=999", "1", "tavrin://printer", "X", "x=1\r\nCOPY=999"},
         "JOB_FILE=/d\nUSER=bob\nDOCNAME=a COPY=999\nCOPY=1\nPORT=tavrin://printer\nJOBID=X\nOPTION=x=1  COPY=999\n"},
        // Blanks and UTF-8 pass unchanged.
        {{"/d", "bob", "  季度 报告 ", "1", "tavrin://printer", "X", "a=b  c=d"},
         "JOB_FILE=/d\nUSER=bob\nDOCNAME=  季度 报告 \nCOPY=1\nPORT=tavrin://printer\nJOBID=X\nOPTION=a=b  c=d\n"},
    };
    for (const auto &c : cases) {
        const std::string got = spool::controlText(c.fields);
        EXPECT_EQ(got, c.expected) << firstDifference(got, c.expected);
    }
}

TEST(SpoolPaths, RootEndsWithSlash)
{
    EXPECT_EQ(spool::spoolRoot(spool::kDefaultFileDir), "/opt/apps/com.kestrelware.tavrin/files/bin/tavrin/");
}

TEST(SpoolPaths, OnlySafeUserNamesBecomeDirectories)
{
    const struct {
        std::string name;
        bool safe;
    } cases[] = {
        {"alice", true},         {"li.wei", true},     {"张伟", true},      {std::string(255, 'a'), true},
        {"", false},             {".", false},         {"..", false},       {"../../etc", false},
        {"a/b", false},          {"/", false},         {"bob\n", false},    {std::string("a\0b", 3), false},
        {"tab\tname", false},    {"del\x7f", false},   {std::string(256, 'a'), false},
        {"..hidden", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(spool::isSafeUserName(c.name), c.safe) << c.name;
}

} // namespace
