#pragma once
// A named pipe lying where the game looks for a file. An open that waits for the other end would hang
// the test for ever: the call runs on a thread of its own, and when it has not returned within the
// limit the pipe is opened from this side too, which lets the call go on, and the test fails.

#include "platform/host/clock.h"

#include <atomic>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace test_support {

inline bool MakeFifo(const std::filesystem::path& path)
{
    return ::mkfifo(path.c_str(), 0600) == 0;
}

// Runs `call`; false, with a test failure naming `what`, when it waited on the pipe.
template <class Call>
bool ReturnsWithoutWaitingOn(const std::filesystem::path& fifo, Call call, const char* what)
{
    std::atomic<bool> done{false};
    std::thread caller([&] {
        call();
        done = true;
    });
    const std::uint32_t start = platform::GetRealMilliseconds();
    while (!done && platform::GetRealMilliseconds() - start < 5000)
        platform::SleepMilliseconds(1);
    const bool waited = !done;
    // Both ends from here: a reader and a writer waiting in open are both let through.
    const int fd = waited ? ::open(fifo.c_str(), O_RDWR | O_NONBLOCK) : -1;
    caller.join();
    if (fd >= 0) ::close(fd);
    if (waited) ADD_FAILURE() << what << " waited on a named pipe";
    return !waited;
}

} // namespace test_support
