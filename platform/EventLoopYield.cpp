// Holds the process-wide yield handler. The program has one user-interface
// thread, so the handler needs no lock.
#include "platform/EventLoopYield.h"

#include <memory>
#include <utility>

namespace platform {
namespace {

std::shared_ptr<const YieldHandler>& InstalledHandler()
{
    static std::shared_ptr<const YieldHandler> handler;
    return handler;
}

} // namespace

YieldHandler SetYieldHandler(YieldHandler handler)
{
    std::shared_ptr<const YieldHandler> previous = std::exchange(
        InstalledHandler(),
        handler ? std::make_shared<const YieldHandler>(std::move(handler)) : nullptr);
    return previous ? *previous : YieldHandler{};
}

void YieldToEventLoop()
{
    // Holding a reference keeps a handler alive that replaces itself while it
    // runs, without copying the function on every yield.
    const std::shared_ptr<const YieldHandler> handler = InstalledHandler();
    if (handler) (*handler)();
}

} // namespace platform
