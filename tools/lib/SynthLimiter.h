// The master stage of the song: a look-ahead peak limiter that raises the mix by a drive and
// keeps every sample at or below a ceiling without clipping.
#pragma once

#include "tools/lib/StereoAudio.h"

namespace tavoFramework {

class SynthLimiter {
public:
    // lookAheadSeconds: how early the gain starts to dip before a peak; releaseSeconds: how fast it
    // comes back afterwards.
    SynthLimiter(double lookAheadSeconds, double releaseSeconds);

    // Multiplies `audio` by `drive`, then lowers the gain wherever a sample would pass `ceiling`.
    void process(StereoAudio& audio, float drive, float ceiling) const;

private:
    double lookAheadSeconds;
    double releaseSeconds;
};

}  // namespace tavoFramework
