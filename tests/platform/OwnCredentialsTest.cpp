// A thread's own copy of its credentials holds what the shared ones held, on
// that thread, and the other threads keep theirs as they were.
#include "platform/OwnCredentials.h"

#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <thread>

namespace {

// The calling thread's identities and capabilities, as the kernel reports them.
std::string ThreadCredentials()
{
    std::ifstream status("/proc/thread-self/status");
    std::string line, text;
    while (std::getline(status, line))
        if (line.starts_with("Uid:") || line.starts_with("Gid:") || line.starts_with("Groups:") ||
            line.starts_with("Cap"))
            text += line + "\n";
    return text + "keepcaps " + std::to_string(::prctl(PR_GET_KEEPCAPS, 0, 0, 0, 0));
}

} // namespace

TEST(OwnCredentials, TheCopyHoldsWhatTheThreadHadAndTheCallerKeepsItsOwn)
{
    const std::string callerBefore = ThreadCredentials();
    for (const int keepCapabilities : {0, 1}) {
        std::string before, after;
        bool taken = false;
        std::thread worker([&] {
            ASSERT_EQ(::prctl(PR_SET_KEEPCAPS, keepCapabilities, 0, 0, 0), 0);
            before = ThreadCredentials();
            taken = platform::TakeOwnCredentials();
            after = ThreadCredentials();
        });
        worker.join();
        if (!taken) GTEST_SKIP() << "this system refuses to change a thread's credentials";
        EXPECT_NE(before.find("keepcaps " + std::to_string(keepCapabilities)), std::string::npos);
        EXPECT_EQ(after, before) << "keep-capabilities flag " << keepCapabilities;
    }
    EXPECT_EQ(ThreadCredentials(), callerBefore);
}
