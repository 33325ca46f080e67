// A plate-like stereo reverb: parallel damped feedback combs per channel, then allpass diffusers.
// Its input is band-limited so the tail stays out of the lowest bands and off the hats' hiss.
#pragma once

#include "tools/lib/StereoAudio.h"

namespace tavoFramework {

class SynthReverb {
public:
    // decay: comb feedback (0.7 short room .. 0.88 long hall); damping: 0 bright .. 1 dark.
    SynthReverb(double decay, double damping);

    // The wet signal of `send`, same length; the tail past the end of `send` is cut off.
    StereoAudio process(const StereoAudio& send) const;

private:
    double decay;
    double damping;
};

}  // namespace tavoFramework
