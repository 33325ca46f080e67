// RIFF/WAVE writer: one fmt chunk (PCM, 2 channels, 16 bits) and one data chunk, little-endian.
#include "tools/lib/WaveFile.h"

#include <algorithm>
#include <cmath>

namespace tavoFramework {

namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putTag(std::vector<std::uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

}  // namespace

std::vector<std::uint8_t> encodeWave(const StereoAudio& audio)
{
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(audio.frames() * 4);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 2);
    put32(out, static_cast<std::uint32_t>(audio.sampleRate));
    put32(out, static_cast<std::uint32_t>(audio.sampleRate * 4));
    put16(out, 4);
    put16(out, 16);
    putTag(out, "data");
    put32(out, dataBytes);
    for (std::size_t i = 0; i < audio.frames(); ++i)
        for (float sample : {audio.left[i], audio.right[i]}) {
            const long value = std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
            put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
        }
    return out;
}

}  // namespace tavoFramework
