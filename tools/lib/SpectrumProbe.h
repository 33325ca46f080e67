// The music's low spectrum as the show's corner lights see it: 43 Hz bands of a 1024-sample
// window of the sound being heard, a full-scale sine giving about 1 in its band.
#pragma once

#include <array>
#include <vector>

#include "tools/lib/StereoAudio.h"

namespace tavoFramework {

class SpectrumProbe {
public:
    static constexpr int windowSize = 1024;
    static constexpr int lowBands = 32;  // the bands the stage lights add up

    explicit SpectrumProbe(const StereoAudio& audio);

    // Magnitudes of bands 0 .. 31 of the window ending at `seconds` (silence before the start).
    std::array<float, lowBands> bands(double seconds) const;

    // The corner lights' level over time: sampled at `framesPerSecond`, each frame adding a tenth
    // of the band sum with a 0.1 s time constant, as the stage-light layer does.
    std::vector<float> lightLevels(double framesPerSecond) const;

private:
    std::vector<float> mono;
    int sampleRate;
};

}  // namespace tavoFramework
