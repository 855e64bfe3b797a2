// The process-wide yield: nothing without a handler, the handler when one is
// installed, and a handler may replace itself while it runs.
#include "platform/EventLoopYield.h"

#include <gtest/gtest.h>

TEST(EventLoopYield, CallsTheInstalledHandlerUntilRemoved)
{
    platform::YieldToEventLoop();
    int calls = 0;
    platform::SetYieldHandler([&calls] { ++calls; });
    platform::YieldToEventLoop();
    platform::YieldToEventLoop();
    EXPECT_EQ(calls, 2);
    platform::SetYieldHandler({});
    platform::YieldToEventLoop();
    EXPECT_EQ(calls, 2);
}

TEST(EventLoopYield, HandlerMayReplaceItselfWhileRunning)
{
    int first = 0;
    int second = 0;
    platform::SetYieldHandler([&] {
        ++first;
        platform::SetYieldHandler([&second] { ++second; });
    });
    platform::YieldToEventLoop();
    platform::YieldToEventLoop();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    platform::SetYieldHandler({});
}
