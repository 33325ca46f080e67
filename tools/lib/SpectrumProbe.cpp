// A thin layer over the sound module's decoder and analyser, so the tools measure exactly what
// the show's stage lights will read.
#include "tools/lib/SpectrumProbe.h"

#include <cmath>

#include "platform/Sound.h"
#include "platform/SoundDecoder.h"
#include "platform/SoundSpectrum.h"

namespace tavoFramework {

SpectrumProbe::SpectrumProbe() : analyser(std::make_unique<sound::SoundSpectrum>()) {}

SpectrumProbe::~SpectrumProbe() = default;

bool SpectrumProbe::open(const std::string& path, std::string& error)
{
    sound::DecodedAudio decoded = sound::decodeMp3(path);
    if (decoded.samples.empty()) {
        error = path + ": " + (decoded.problem.empty() ? "no sound" : decoded.problem);
        return false;
    }
    samples = std::move(decoded.samples);
    return true;
}

StereoAudio SpectrumProbe::audio() const
{
    StereoAudio result(sound::SAMPLE_RATE, samples.size() / 2);
    for (std::size_t i = 0; i < result.frames(); ++i) {
        result.left[i] = samples[2 * i] / 32768.0f;
        result.right[i] = samples[2 * i + 1] / 32768.0f;
    }
    return result;
}

double SpectrumProbe::seconds() const
{
    return static_cast<double>(samples.size() / 2) / sound::SAMPLE_RATE;
}

const float* SpectrumProbe::spectrum(double seconds)
{
    return analyser->analyse(samples.data(), static_cast<std::int64_t>(samples.size() / 2),
                             std::llround(seconds * sound::SAMPLE_RATE));
}

float SpectrumProbe::lowSum(double seconds)
{
    const float* bands = spectrum(seconds);
    float sum = 0;
    for (int band = 0; band < lowBands; ++band)
        sum += bands[band];
    return sum;
}

std::vector<float> SpectrumProbe::lightLevels(double framesPerSecond)
{
    const float delta = static_cast<float>(1.0 / framesPerSecond);
    std::vector<float> levels(static_cast<std::size_t>(seconds() * framesPerSecond));
    float level = 0;
    for (std::size_t frame = 0; frame < levels.size(); ++frame) {
        level += (lowSum(static_cast<double>(frame) / framesPerSecond) / 10.0f - level) * delta * 10.0f;
        levels[frame] = level;
    }
    return levels;
}

}  // namespace tavoFramework
