// Onset search in a low-passed envelope: a window from 30 ms before each beat to 60 ms after it.
#include "tools/lib/KickTiming.h"

#include <algorithm>
#include <cmath>

#include "tools/lib/SynthFilter.h"

namespace tavoFramework {

std::vector<double> kickOffsets(const Score& score, const StereoAudio& audio)
{
    std::vector<float> low(audio.frames());
    SynthFilter lowpass(SynthFilter::LOWPASS, 120.0, 0.707, audio.sampleRate);
    for (std::size_t i = 0; i < audio.frames(); ++i)
        low[i] = static_cast<float>(std::fabs(lowpass.process(0.5 * (audio.left[i] + audio.right[i]))));
    std::vector<double> offsets;
    for (const ScoreSection& section : score.sections) {
        const bool every = section.parts.count("kick") > 0;
        if (!every && !section.parts.count("kick-half"))
            continue;
        for (int beat = 0; beat < section.bars * score.meter; beat += every ? 1 : 2) {
            const double at = score.seconds(static_cast<double>(section.firstBar * score.meter + beat));
            const long first = std::max(0L, std::lround((at - 0.03) * audio.sampleRate));
            const long last = std::min(static_cast<long>(low.size()), std::lround((at + 0.06) * audio.sampleRate));
            if (first >= last)
                continue;
            const float peak = *std::max_element(low.begin() + first, low.begin() + last);
            for (long i = first; i < last; ++i)
                if (low[static_cast<std::size_t>(i)] > peak / 3.0f) {
                    offsets.push_back(static_cast<double>(i) / audio.sampleRate - at);
                    break;
                }
        }
    }
    return offsets;
}

}  // namespace tavoFramework
