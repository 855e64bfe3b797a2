// The copy is made by setting the thread's keep-capabilities flag to the
// value it already has: the kernel commits a fresh copy of the credentials
// for the change, and prctl acts on the calling thread alone.
#include "platform/OwnCredentials.h"

#include <sys/prctl.h>

namespace platform {

bool TakeOwnCredentials() noexcept
{
    const int keepCapabilities = ::prctl(PR_GET_KEEPCAPS, 0, 0, 0, 0);
    return keepCapabilities >= 0 && ::prctl(PR_SET_KEEPCAPS, keepCapabilities, 0, 0, 0) == 0;
}

} // namespace platform
