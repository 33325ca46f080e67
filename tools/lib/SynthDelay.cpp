// Ping-pong echo: the left line feeds the right and the right the left, each through a low-pass.
#include "tools/lib/SynthDelay.h"

#include "tools/lib/SynthFilter.h"

namespace tavoFramework {

SynthDelay::SynthDelay(double delaySeconds, double feedback) : delaySeconds(delaySeconds), feedback(feedback) {}

StereoAudio SynthDelay::process(const StereoAudio& send) const
{
    StereoAudio wet(send.sampleRate, send.frames());
    const std::size_t delay = static_cast<std::size_t>(delaySeconds * send.sampleRate + 0.5);
    std::vector<float> lineLeft(delay), lineRight(delay);
    SynthFilter darkenLeft(SynthFilter::LOWPASS, 3200.0, 0.707, send.sampleRate);
    SynthFilter darkenRight(SynthFilter::LOWPASS, 3200.0, 0.707, send.sampleRate);
    std::size_t at = 0;
    for (std::size_t i = 0; i < send.frames(); ++i) {
        const double outLeft = lineLeft[at];
        const double outRight = lineRight[at];
        const double mono = 0.5 * (send.left[i] + send.right[i]);
        lineLeft[at] = static_cast<float>(mono + darkenRight.process(outRight) * feedback);
        lineRight[at] = static_cast<float>(darkenLeft.process(outLeft) * feedback);
        wet.left[i] = static_cast<float>(outLeft);
        wet.right[i] = static_cast<float>(outRight);
        at = (at + 1) % delay;
    }
    return wet;
}

}  // namespace tavoFramework
