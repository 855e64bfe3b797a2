// Holds the process-wide yield handler. The program has one user-interface
// thread, so the handler needs no lock.
#include "platform/EventLoopYield.h"

#include <utility>

namespace platform {
namespace {

YieldHandler& InstalledHandler()
{
    static YieldHandler handler;
    return handler;
}

} // namespace

YieldHandler SetYieldHandler(YieldHandler handler)
{
    return std::exchange(InstalledHandler(), std::move(handler));
}

void YieldToEventLoop()
{
    // A copy, so a handler that replaces itself while running stays alive.
    const YieldHandler handler = InstalledHandler();
    if (handler) handler();
}

} // namespace platform
