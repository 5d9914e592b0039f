#pragma once
// A gtest fixture with the test service running: started once per test
// program (CTest runs each case as its own program), reset before every case,
// and the service client pointed at it.

#include "service/TestService.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavrin::test {

class ServiceFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_service = std::make_unique<TestService>();
        if (!s_service->start())
            s_startError = s_service->error().toStdString();
    }
    static void TearDownTestSuite() { s_service.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(s_startError.empty()) << s_startError;
        ASSERT_TRUE(s_service->reset());
        s_service->useForProgram();
    }

    static TestService &service() { return *s_service; }

private:
    static inline std::unique_ptr<TestService> s_service;
    static inline std::string s_startError;
};

} // namespace tavrin::test
