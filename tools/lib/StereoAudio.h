// Two channels of float samples at one rate: the song while it is made, mixed and measured.
#pragma once

#include <cstddef>
#include <vector>

namespace tavoFramework {

struct StereoAudio {
    int sampleRate = 44100;
    std::vector<float> left;
    std::vector<float> right;

    StereoAudio() = default;
    StereoAudio(int sampleRate, std::size_t frames) : sampleRate(sampleRate), left(frames), right(frames) {}

    std::size_t frames() const { return left.size(); }
    // Adds `other` scaled by `gain`; both have the same length.
    void mix(const StereoAudio& other, float gain);
    // Largest absolute sample of either channel.
    float peak() const;
    // Root mean square of both channels over [first, last) frames, 0 for an empty range.
    double rms(std::size_t first, std::size_t last) const;
    void scale(float gain);
};

}  // namespace tavoFramework
