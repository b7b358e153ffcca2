#include "platform/runtime.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(Runtime, EscapingExceptionsReachTheLastResortAndFailTheRun) {
    QString seen;
    platform::Runtime::unhandledHook() = [&](const QString& what) { seen = what; };
    const int value =
        platform::runGuarded([]() -> int { throw std::runtime_error("disk on fire"); });
    EXPECT_EQ(value, 0);
    EXPECT_EQ(seen, "disk on fire");
    EXPECT_EQ(platform::Runtime::failureStatus(), 1);
    platform::runGuarded([] { throw 42; });
    EXPECT_EQ(seen, "unknown error");
    // Without an exception the value comes through untouched.
    EXPECT_EQ(platform::runGuarded([] { return 7; }), 7);
    platform::Runtime::unhandledHook() = nullptr;
}

}  // namespace
