// Decoding of a whole MP3 file into 16-bit stereo frames at the sound module's rate (libmpg123).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Sound.h"

namespace tavoFramework {
namespace sound {

// Longest stream decoded, in frames: an hour, 635 MB of frames. Longer files are refused.
constexpr std::int64_t MAX_STREAM_FRAMES = 60LL * 60 * SAMPLE_RATE;

struct DecodedAudio {
    std::vector<std::int16_t> samples;  // interleaved left/right frames; empty when nothing decoded
    std::string problem;  // why nothing was decoded, or why the sound ends early; empty when all went well
};

// Decodes the MP3 file at `path` (a path that opens here). Encoder delay and padding are left
// out, so frame n is sample n of the sound that was encoded; mono files come out on both sides,
// other rates are resampled to SAMPLE_RATE.
DecodedAudio decodeMp3(const std::string& path);

}  // namespace sound
}  // namespace tavoFramework
