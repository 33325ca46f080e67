// The show clock.
#include "runtime/Demo_Clock.h"

#include <cmath>

#include "platform/Platform.h"

namespace tavoFramework {

Demo_Clock::Demo_Clock()
    : frequency(platform::performanceFrequency()), startCount(platform::performanceCounter())
{
}

void Demo_Clock::tick(bool accumulate)
{
    currentCount = platform::performanceCounter();
    const float previous = elapsed;
    elapsed = static_cast<float>(static_cast<double>(currentCount - startCount) / static_cast<double>(frequency));
    delta = elapsed - previous;
    if (accumulate)
        accumulated += delta;
}

void Demo_Clock::restart(float offsetSeconds)
{
    offset = offsetSeconds;
    delta = 0;
    elapsed = 0;
    accumulated = 0;
    frequency = platform::performanceFrequency();
    startCount = platform::performanceCounter();
}

std::uint32_t Demo_Clock::toMilliseconds(float seconds)
{
    const double milliseconds = static_cast<double>(seconds) * 1000.0;
    // Beyond the 64-bit range (and for NaN) the conversion would be undefined.
    if (!(std::fabs(milliseconds) < 9.0e18))
        return 0;
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(milliseconds));
}

}  // namespace tavoFramework
