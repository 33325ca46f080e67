// Renders the score into a stereo mix: drums, bass, pad, arpeggio, hook and the sung lead, with
// kick-ducking, echo and reverb. Deterministic: the same score gives the same samples.
#pragma once

#include "tools/lib/Score.h"
#include "tools/lib/StereoAudio.h"

namespace tavoFramework {

class SongSynth {
public:
    // Seconds rendered past the end of the last bar, for the last chord and the reverb to ring out.
    static constexpr double tailSeconds = 4.0;
    // Peak level of the finished mix (-1.5 dBFS), headroom for the encoder.
    static constexpr float peakLevel = 0.84f;
    // Gain into the master limiter, relative to the mix's own peak at full scale.
    static constexpr float masterDrive = 1.5f;

    SongSynth(const Score& score, int sampleRate);

    // The finished mix, score length plus tailSeconds, limited to peakLevel.
    StereoAudio render() const;

private:
    const Score& score;
    int sampleRate;
};

}  // namespace tavoFramework
