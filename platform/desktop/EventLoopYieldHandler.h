// The yield handler of the window: runs the Qt event loop's pending events,
// at most once per interval of wall time. A yield sooner than that returns at
// once, so a long walk is not paced by repainting.
#pragma once

#include "platform/EventLoopYield.h"

#include <chrono>

namespace desktop {

inline constexpr std::chrono::milliseconds kDefaultYieldInterval{10};

platform::YieldHandler MakeEventLoopYield(std::chrono::milliseconds interval = kDefaultYieldInterval);

// Installs a handler for the life of the object and puts the earlier one back.
class ScopedYieldHandler {
public:
    explicit ScopedYieldHandler(platform::YieldHandler handler);
    ~ScopedYieldHandler();
    ScopedYieldHandler(const ScopedYieldHandler&) = delete;
    ScopedYieldHandler& operator=(const ScopedYieldHandler&) = delete;

private:
    platform::YieldHandler previous_;
};

} // namespace desktop
