// Database tests that run once on the embedded engine and once through the private server.
#pragma once

#include "tests/support/attached_database.h"
#include "tests/support/server_database.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace velkor::test {

// Names the engine in a test's listing instead of printing the parameter's bytes.
inline void PrintTo(TEngine engine, std::ostream *out)
{
    *out << (engine == TEngine::server ? "server" : "embedded");
}

// The engine comes from the test's parameter; without a configured server the server's run
// is skipped (its fixture works on the embedded engine meanwhile, so that it can be built).
class EngineTest : public ::testing::TestWithParam<TEngine>
{
protected:
    [[nodiscard]] static TEngine Engine()
    {
        return GetParam() == TEngine::server && TTestServer::Available() ? TEngine::server
                                                                         : TEngine::embedded;
    }
    void SetUp() override
    {
        if (GetParam() == TEngine::server && !TTestServer::Available())
            GTEST_SKIP() << "no test server: run ./test.sh";
    }
};

} // namespace velkor::test

// Instantiates a suite of EngineTest once per engine: Embedded/SUITE.x and Server/SUITE.x.
// The parameter's own name would be its bytes, "4-byte object <01-00 00-00>": the prefix says it.
#define VELKOR_ON_BOTH_ENGINES(suite)                                                              \
    INSTANTIATE_TEST_SUITE_P(Embedded, suite,                                                      \
                             ::testing::Values(::velkor::test::TEngine::embedded),                 \
                             [](const auto &) { return std::string("engine"); });                  \
    INSTANTIATE_TEST_SUITE_P(Server, suite, ::testing::Values(::velkor::test::TEngine::server),    \
                             [](const auto &) { return std::string("engine"); })
