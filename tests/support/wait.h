#pragma once
// Waiting in tests for what another thread does soon. Every wait has a limit and reports a failure when
// it runs out, so a fault fails the test at once instead of hanging it until the test's time limit.

#include "platform/host/clock.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace test_support {

// Far above what any of these waits takes on a loaded machine.
constexpr std::uint32_t kWaitLimitMilliseconds = 10000;

// Polls until the condition holds (real time, whatever clock the test has chosen). False, with a test
// failure naming `what`, when the limit runs out first.
template <class Condition> bool WaitUntil(Condition condition, const char* what)
{
    const std::uint32_t start = platform::GetRealMilliseconds();
    while (!condition()) {
        if (platform::GetRealMilliseconds() - start > kWaitLimitMilliseconds) {
            ADD_FAILURE() << "gave up waiting for " << what;
            return false;
        }
        platform::SleepMilliseconds(1);
    }
    return true;
}

} // namespace test_support
