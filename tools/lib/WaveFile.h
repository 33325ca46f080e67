// 16-bit PCM WAV bytes of a stereo buffer, for listening to and measuring a render.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/lib/StereoAudio.h"

namespace tavoFramework {

// Samples are clamped to [-1, 1] and rounded to 16 bits.
std::vector<std::uint8_t> encodeWave(const StereoAudio& audio);

}  // namespace tavoFramework
