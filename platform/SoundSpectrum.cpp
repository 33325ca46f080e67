// The music spectrum: one complex transform of the windowed mono mix per call.
#include "platform/SoundSpectrum.h"

#include <algorithm>
#include <cmath>

namespace tavoFramework {
namespace sound {

SoundSpectrum::SoundSpectrum()
    : fft(kiss_fft_alloc(WINDOW, 0, nullptr, nullptr)), weights(WINDOW), input(WINDOW), output(WINDOW),
      bands(SPECTRUM_BANDS, 0.0f)
{
    // A plain transform measures at multiples of SAMPLE_RATE / WINDOW, the lower edges of the
    // bands. Turning the window by half a bin per frame (e^(-i pi n / WINDOW)) moves every
    // measurement up to the middle of its band. A sine of amplitude A gives A * WINDOW / 4 under
    // the Hann window (whose sum is WINDOW / 2); the scale 4 / WINDOW / 32768 makes that A for
    // 16-bit frames, and 1 for a full-scale sine.
    const double pi = std::acos(-1.0);
    const double scale = 4.0 / WINDOW / 32768.0;
    for (int n = 0; n < WINDOW; ++n) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * pi * n / WINDOW);
        const double turn = -pi * n / WINDOW;
        weights[n].r = static_cast<float>(scale * hann * std::cos(turn));
        weights[n].i = static_cast<float>(scale * hann * std::sin(turn));
    }
}

SoundSpectrum::~SoundSpectrum()
{
    kiss_fft_free(fft);
}

const float* SoundSpectrum::analyse(const std::int16_t* samples, std::int64_t frames, std::int64_t centreFrame)
{
    const std::int64_t first = centreFrame - WINDOW / 2;
    for (int n = 0; n < WINDOW; ++n) {
        const std::int64_t frame = first + n;
        // Mono mix: the mean of both sides.
        const float mix = frame >= 0 && frame < frames
                              ? 0.5f * (static_cast<float>(samples[2 * frame]) + static_cast<float>(samples[2 * frame + 1]))
                              : 0.0f;
        input[n].r = mix * weights[n].r;
        input[n].i = mix * weights[n].i;
    }
    kiss_fft(fft, input.data(), output.data());
    for (int band = 0; band < SPECTRUM_BANDS; ++band)
        bands[band] = std::hypot(output[band].r, output[band].i);
    return bands.data();
}

const float* SoundSpectrum::silence()
{
    std::fill(bands.begin(), bands.end(), 0.0f);
    return bands.data();
}

}  // namespace sound
}  // namespace tavoFramework
