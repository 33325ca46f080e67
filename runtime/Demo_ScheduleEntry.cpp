// The per-frame time record of a schedule entry. Millisecond arithmetic is unsigned 32-bit;
// divisions are made in double precision and rounded to floats.
#include "runtime/Demo_ScheduleEntry.h"

#include <limits>

#include "runtime/Demo_Clock.h"

namespace tavoFramework {

namespace {

float seconds(std::uint32_t milliseconds)
{
    return static_cast<float>(static_cast<double>(milliseconds) / 1000.0);
}

}  // namespace

Demo_FrameTime Demo_ScheduleEntry::frameTime(float time, float delta, std::uint32_t timeMs,
                                             const float* spectrum) const
{
    const std::uint32_t deltaMs = Demo_Clock::toMilliseconds(delta);
    // The window of this frame reaches from the previous tick to the next one expected. Its ends
    // stop at 0 and at the largest millisecond rather than wrapping, so an entry starting at 0 sees
    // its first frame even when that frame comes less than one delta after 0.
    const std::uint32_t previousMs = timeMs > deltaMs ? timeMs - deltaMs : 0;
    const std::uint32_t nextMs =
        deltaMs > std::numeric_limits<std::uint32_t>::max() - timeMs ? std::numeric_limits<std::uint32_t>::max()
                                                                      : timeMs + deltaMs;
    Demo_FrameTime record;
    record.time = time;
    record.delta = delta;
    record.duration = seconds(end - start);
    record.remaining = seconds(end) - time;
    record.start = seconds(start);
    record.firstFrame = start >= previousMs;
    record.lastFrame = end <= nextMs;
    record.spectrum = spectrum;
    return record;
}

}  // namespace tavoFramework
