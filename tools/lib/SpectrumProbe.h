// The music as the show hears it: the MP3 decoded by the sound module's own decoder, and the
// spectrum its analyser reports at any moment (512 bands of 43 Hz, a full-scale sine giving 1).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/lib/StereoAudio.h"

namespace tavoFramework {

namespace sound {
class SoundSpectrum;
}

class SpectrumProbe {
public:
    static constexpr int lowBands = 32;  // the bands the stage lights add up

    SpectrumProbe();
    ~SpectrumProbe();
    SpectrumProbe(const SpectrumProbe&) = delete;
    SpectrumProbe& operator=(const SpectrumProbe&) = delete;

    // Decodes `path` (a path that opens here). False with `error` set when nothing decodes.
    bool open(const std::string& path, std::string& error);

    // The decoded sound as floats, for level measurements.
    StereoAudio audio() const;
    double seconds() const;

    // The analyser's bands for the sound heard at `seconds`; valid until the next call.
    const float* spectrum(double seconds);
    // Sum of the first lowBands bands at `seconds`: what the stage lights add up.
    float lowSum(double seconds);

    // The corner lights' level over time at `framesPerSecond`, following a tenth of the low sum
    // with a time constant of 0.1 s, the way the stage-light layer follows it.
    std::vector<float> lightLevels(double framesPerSecond);

private:
    std::vector<std::int16_t> samples;  // interleaved stereo at 44.1 kHz
    std::unique_ptr<sound::SoundSpectrum> analyser;
};

}  // namespace tavoFramework
