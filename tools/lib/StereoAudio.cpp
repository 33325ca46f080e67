// Whole-buffer helpers of the song's mix.
#include "tools/lib/StereoAudio.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace tavoFramework {

void StereoAudio::mix(const StereoAudio& other, float gain)
{
    assert(other.frames() == frames() && "mix needs buffers of the same length");
    for (std::size_t i = 0; i < frames(); ++i) {
        left[i] += gain * other.left[i];
        right[i] += gain * other.right[i];
    }
}

float StereoAudio::peak() const
{
    float result = 0;
    for (std::size_t i = 0; i < frames(); ++i)
        result = std::max(result, std::max(std::fabs(left[i]), std::fabs(right[i])));
    return result;
}

double StereoAudio::rms(std::size_t first, std::size_t last) const
{
    last = std::min(last, frames());
    if (first >= last)
        return 0;
    double sum = 0;
    for (std::size_t i = first; i < last; ++i)
        sum += static_cast<double>(left[i]) * left[i] + static_cast<double>(right[i]) * right[i];
    return std::sqrt(sum / (2.0 * static_cast<double>(last - first)));
}

void StereoAudio::scale(float gain)
{
    for (std::size_t i = 0; i < frames(); ++i) {
        left[i] *= gain;
        right[i] *= gain;
    }
}

}  // namespace tavoFramework
