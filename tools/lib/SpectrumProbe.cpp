// Hann-windowed real FFT through kissfft; the window's gain (N / 4 for a sine's peak bin) is
// divided out so that magnitudes read in sine amplitudes.
#include "tools/lib/SpectrumProbe.h"

#include <kiss_fftr.h>

#include <cmath>
#include <memory>

namespace tavoFramework {

SpectrumProbe::SpectrumProbe(const StereoAudio& audio) : mono(audio.frames()), sampleRate(audio.sampleRate)
{
    for (std::size_t i = 0; i < audio.frames(); ++i)
        mono[i] = 0.5f * (audio.left[i] + audio.right[i]);
}

std::array<float, SpectrumProbe::lowBands> SpectrumProbe::bands(double seconds) const
{
    static const std::unique_ptr<std::remove_pointer_t<kiss_fftr_cfg>, void (*)(void*)> config(
        kiss_fftr_alloc(windowSize, 0, nullptr, nullptr), kiss_fftr_free);
    std::array<kiss_fft_scalar, windowSize> input{};
    std::array<kiss_fft_cpx, windowSize / 2 + 1> output{};
    const long end = std::lround(seconds * sampleRate);
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < windowSize; ++i) {
        const long at = end - windowSize + i;
        const double sample = at >= 0 && at < static_cast<long>(mono.size()) ? mono[static_cast<std::size_t>(at)] : 0.0;
        const double window = 0.5 - 0.5 * std::cos(2.0 * pi * i / windowSize);
        input[static_cast<std::size_t>(i)] = static_cast<kiss_fft_scalar>(sample * window);
    }
    kiss_fftr(config.get(), input.data(), output.data());
    std::array<float, lowBands> result{};
    for (int band = 0; band < lowBands; ++band) {
        const kiss_fft_cpx& value = output[static_cast<std::size_t>(band)];
        result[static_cast<std::size_t>(band)] =
            static_cast<float>(std::hypot(value.r, value.i) * 4.0 / windowSize);
    }
    return result;
}

std::vector<float> SpectrumProbe::lightLevels(double framesPerSecond) const
{
    const double delta = 1.0 / framesPerSecond;
    const std::size_t frames = static_cast<std::size_t>(static_cast<double>(mono.size()) / sampleRate * framesPerSecond);
    std::vector<float> levels(frames);
    float level = 0;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        float sum = 0;
        for (float band : bands(static_cast<double>(frame) * delta))
            sum += band;
        level += (sum / 10.0f - level) * static_cast<float>(delta) * 10.0f;
        levels[frame] = level;
    }
    return levels;
}

}  // namespace tavoFramework
