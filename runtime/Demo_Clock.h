// The show clock on the platform's performance counter. Show time is `offset` + `accumulated`;
// it never depends on the music's play position.
#pragma once

#include <cstdint>

namespace tavoFramework {

class Demo_Clock {
public:
    Demo_Clock();  // reads the counter's frequency and the start count

    // Reads the counter: `elapsed` becomes the seconds since the start count, `delta` the seconds
    // since the previous tick; `accumulated` grows by `delta` only when `accumulate` is true.
    void tick(bool accumulate);

    // Starts again at show time `offsetSeconds`: counter read anew, elapsed, delta, accumulated 0.
    void restart(float offsetSeconds);

    // Show time in seconds (a 32-bit float sum) and in milliseconds.
    float showTime() const { return offset + accumulated; }
    std::uint32_t showTimeMs() const { return toMilliseconds(showTime()); }

    // Seconds times 1000 in double precision, truncated towards zero; the low 32 bits of that
    // (so times before 0 come out as large numbers). Non-finite or huge times give 0.
    static std::uint32_t toMilliseconds(float seconds);

    float offset = 0;               // show time at which playback begins, seconds
    std::int64_t frequency = 0;     // counter ticks per second
    std::int64_t startCount = 0;    // counter at the start
    std::int64_t currentCount = 0;  // counter at the latest tick
    float elapsed = 0;              // seconds from start to the latest tick
    float accumulated = 0;          // seconds of playback
    float delta = 0;                // seconds between the two latest ticks
};

}  // namespace tavoFramework
