// Spectrum of the sound being heard: SPECTRUM_BANDS band magnitudes from a Hann-windowed window
// of 2 * SPECTRUM_BANDS frames, mixed to mono, centred on the frame being heard.
#pragma once

#include <cstdint>
#include <vector>

#include <kiss_fft.h>  // the transform

#include "platform/Sound.h"

namespace tavoFramework {
namespace sound {

class SoundSpectrum {
public:
    SoundSpectrum();
    ~SoundSpectrum();
    SoundSpectrum(const SoundSpectrum&) = delete;
    SoundSpectrum& operator=(const SoundSpectrum&) = delete;

    // Analyses the window centred on `centreFrame` of `frames` interleaved stereo frames; frames
    // outside the sound count as silence. Band i is measured at the middle of its range,
    // (i + 0.5) * SAMPLE_RATE / (2 * SPECTRUM_BANDS) Hz, where a full-scale sine reads 1; one at
    // the edge of a band reads 0.85 there. Returns the bands, owned here and valid until the next
    // call of either function.
    const float* analyse(const std::int16_t* samples, std::int64_t frames, std::int64_t centreFrame);

    // All bands zero; the same array as analyse() returns.
    const float* silence();

private:
    static constexpr int WINDOW = 2 * SPECTRUM_BANDS;  // frames analysed

    kiss_fft_cfg fft;
    std::vector<kiss_fft_cpx> weights;  // Hann window times the half-band shift, with the scale
    std::vector<kiss_fft_cpx> input, output;
    std::vector<float> bands;
};

}  // namespace sound
}  // namespace tavoFramework
