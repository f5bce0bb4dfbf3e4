// Millisecond clock and sleep: the one place where the SDK and the game read time. The standard <chrono>
// does not compile with narrow literals in CP932 (GCC 12's holds "\u00b5s"), so nothing here needs it.
//
// The real clock is monotonic; its millisecond count is an unsigned 32-bit number that wraps, so callers
// take differences, never compare absolute values. The virtual clock stands still until code sleeps or a
// test moves it, which lets frame pacing be checked without waiting for wall time. Switching happens at run
// time and affects every thread; timed waits on events always use real time.
#pragma once

#include <cstdint>

namespace platform {

// Current time in milliseconds (real or virtual, whichever is active).
std::uint32_t GetMilliseconds();

// Sleeps the calling thread. On the virtual clock the time advances by `milliseconds` at once.
void SleepMilliseconds(std::uint32_t milliseconds);

// Gives up the rest of the calling thread's time slice.
void YieldThread();

// Switches to the virtual clock, which then reads `start`.
void UseVirtualClock(std::uint32_t start = 0);
// Back to the real clock.
void UseRealClock();
bool IsVirtualClock();
// Moves the virtual clock forward (no effect on the real clock).
void AdvanceVirtualClock(std::uint32_t milliseconds);

// The real monotonic clock, whatever mode is active.
std::uint32_t GetRealMilliseconds();

// A calendar date and time of day: year (e.g. 2024), month 1 to 12, day 1 to 31, hour, minute, second.
struct SLocalTime
{
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
};

// The wall clock's date and time in the local time zone (the virtual clock does not affect it).
SLocalTime GetLocalTime();
// Makes GetLocalTime answer `time` from now on, so that what is made from the date (a run's identity)
// can be repeated; UnfixLocalTime goes back to the wall clock.
void FixLocalTime(const SLocalTime& time);
void UnfixLocalTime();

} // namespace platform
