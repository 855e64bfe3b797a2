// Credentials of its own for a worker thread. Every file a thread opens holds
// a reference to the thread's credentials, taken at the open and dropped at
// the close; the threads of a process share one credentials object, so two
// threads that open many small files keep moving its reference count between
// their processors. A copy with the same contents ends the sharing and
// changes nothing else.
#pragma once

namespace platform {

// Gives the calling thread its own copy of its credentials: user and group
// identities, capabilities and flags all as they were. False, with the thread
// still sharing them, when the system refuses.
bool TakeOwnCredentials() noexcept;

} // namespace platform
