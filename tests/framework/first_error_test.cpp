#include "framework/error_log.h"
#include "framework/first_error.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velkor {
namespace {

// Collects what is logged while a test runs.
class FirstErrorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetErrorLogHook([this](std::string_view line) { logged.emplace_back(line); });
    }
    void TearDown() override { SetErrorLogHook(nullptr); }

    std::vector<std::string> logged;
};

std::string MessageOf(const std::function<void()> &body)
{
    try {
        body();
    } catch (const std::exception &error) {
        return error.what();
    }
    return "nothing thrown";
}

TEST_F(FirstErrorTest, every_step_runs_the_first_error_is_thrown_and_the_later_ones_logged)
{
    bool lastRan = false;
    TFirstError errors("Closing the list");
    errors.Run([] { throw std::runtime_error("fetch failed"); });
    errors.Run([] { throw std::runtime_error("close failed"); });
    errors.Run([] { throw 42; });
    errors.Run([&] { lastRan = true; });

    EXPECT_TRUE(lastRan);
    EXPECT_TRUE(errors.Failed());
    EXPECT_EQ(MessageOf([&] { errors.Rethrow(); }), "fetch failed");
    EXPECT_EQ(logged, (std::vector<std::string>{"Closing the list: close failed",
                                                "Closing the list: an error of no known kind"}));
}

TEST_F(FirstErrorTest, steps_that_all_succeed_throw_and_log_nothing)
{
    TFirstError errors("Closing the list");
    errors.Run([] {});
    EXPECT_FALSE(errors.Failed());
    EXPECT_NO_THROW(errors.Rethrow());
    EXPECT_TRUE(logged.empty());
}

TEST_F(FirstErrorTest, clean_up_after_a_failed_work_runs_and_keeps_the_works_error)
{
    int cleanUps = 0;
    EXPECT_EQ(MessageOf([&] {
                  CleanUpAfter(
                      "Preparing", [] { throw std::runtime_error("prepare failed"); },
                      [&] {
                          ++cleanUps;
                          throw std::runtime_error("free failed");
                      });
              }),
              "prepare failed");
    EXPECT_EQ(cleanUps, 1);
    EXPECT_EQ(logged, std::vector<std::string>{"Preparing: free failed"});
}

TEST_F(FirstErrorTest, clean_up_after_a_good_work_runs_once_and_its_own_error_is_thrown)
{
    int cleanUps = 0;
    EXPECT_EQ(MessageOf([&] {
                  CleanUpAfter(
                      "Preparing", [] {}, [&] { ++cleanUps; });
              }),
              "nothing thrown");
    EXPECT_EQ(MessageOf([&] {
                  CleanUpAfter(
                      "Preparing", [] {}, [] { throw std::runtime_error("free failed"); });
              }),
              "free failed");
    EXPECT_EQ(cleanUps, 1);
    EXPECT_TRUE(logged.empty());
}

} // namespace
} // namespace velkor
