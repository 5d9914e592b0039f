#include "platform/TextUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(TextUtil, IequalsIgnoresLetterCaseOnly)
{
    EXPECT_TRUE(util::iequals("UOS", "uos"));
    EXPECT_TRUE(util::iequals("Color", "cOLOR"));
    EXPECT_TRUE(util::iequals("", ""));
    EXPECT_FALSE(util::iequals("Gray", "Grey"));
    EXPECT_FALSE(util::iequals("uos ", "uos"));
}

} // namespace
