// Throttled processing of pending Qt events.
#include "platform/desktop/EventLoopYieldHandler.h"

#include <QCoreApplication>

#include <memory>
#include <utility>

namespace desktop {

platform::YieldHandler MakeEventLoopYield(std::chrono::milliseconds interval)
{
    using Clock = std::chrono::steady_clock;
    // Shared, so every copy of the handler sees the same last run.
    auto lastRun = std::make_shared<Clock::time_point>();
    return [interval, lastRun] {
        const Clock::time_point now = Clock::now();
        if (*lastRun != Clock::time_point{} && now - *lastRun < interval) return;
        *lastRun = now;
        QCoreApplication::processEvents();
    };
}

ScopedYieldHandler::ScopedYieldHandler(platform::YieldHandler handler)
    : previous_(platform::SetYieldHandler(std::move(handler)))
{
}

ScopedYieldHandler::~ScopedYieldHandler()
{
    platform::SetYieldHandler(std::move(previous_));
}

} // namespace desktop
