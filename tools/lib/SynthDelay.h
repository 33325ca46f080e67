// A ping-pong echo: repeats alternate between the two sides and darken as they fade.
#pragma once

#include "tools/lib/StereoAudio.h"

namespace tavoFramework {

class SynthDelay {
public:
    // delaySeconds: time between repeats; feedback: level of each repeat relative to the last.
    SynthDelay(double delaySeconds, double feedback);

    // The echoes of `send` (without the dry signal), same length.
    StereoAudio process(const StereoAudio& send) const;

private:
    double delaySeconds;
    double feedback;
};

}  // namespace tavoFramework
