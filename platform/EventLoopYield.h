// The one yield to the message loop that the search engine and the window's
// search handlers make. The desktop layer installs a handler that runs the
// event loop; without one (command line, engine tests) a yield does nothing.
#pragma once

#include <functional>

namespace platform {

using YieldHandler = std::function<void()>;

// Replaces the handler; an empty function restores the do-nothing yield.
// Returns the handler that was installed before.
YieldHandler SetYieldHandler(YieldHandler handler);

// Handles pending input (or whatever the installed handler does), then returns.
void YieldToEventLoop();

} // namespace platform
