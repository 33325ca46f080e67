// Gain computer: the gain each sample needs, its minimum over the look-ahead window, an instant
// drop with a slow recovery, then an average over the window. Every averaged value is at most the
// need of the current sample, because each comes from a window that contains it.
#include "tools/lib/SynthLimiter.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace tavoFramework {

SynthLimiter::SynthLimiter(double lookAheadSeconds, double releaseSeconds)
    : lookAheadSeconds(lookAheadSeconds), releaseSeconds(releaseSeconds)
{
}

void SynthLimiter::process(StereoAudio& audio, float drive, float ceiling) const
{
    const std::size_t frames = audio.frames();
    const std::size_t window = std::max<std::size_t>(1, static_cast<std::size_t>(lookAheadSeconds * audio.sampleRate));
    std::vector<double> need(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const double level = drive * std::max(std::fabs(audio.left[i]), std::fabs(audio.right[i]));
        need[i] = level > ceiling ? ceiling / level : 1.0;
    }
    // Minimum of need over [i, i + window - 1], with a monotonic queue of indices.
    std::vector<double> ahead(frames);
    std::deque<std::size_t> queue;
    for (std::size_t j = frames; j-- > 0;) {
        while (!queue.empty() && need[queue.back()] >= need[j])
            queue.pop_back();
        queue.push_back(j);
        while (queue.front() >= j + window)
            queue.pop_front();
        ahead[j] = need[queue.front()];
    }
    const double recovery = 1.0 - std::exp(-1.0 / (releaseSeconds * audio.sampleRate));
    double held = 1.0;
    for (std::size_t i = 0; i < frames; ++i) {
        held = std::min(ahead[i], held + (1.0 - held) * recovery);
        ahead[i] = held;
    }
    // Before the first sample the average takes the first window's gain, which is low enough too.
    const double before = frames ? ahead[0] : 1.0;
    double sum = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        sum += ahead[i];
        const std::size_t count = std::min(i + 1, window);
        if (i >= window)
            sum -= ahead[i - window];
        const float gain = static_cast<float>(drive * (sum + before * static_cast<double>(window - count)) / window);
        audio.left[i] *= gain;
        audio.right[i] *= gain;
    }
}

}  // namespace tavoFramework
