// A small deterministic noise source (xorshift), so every render of the song is the same.
#pragma once

#include <cstdint>

namespace tavoFramework {

class SynthNoise {
public:
    explicit SynthNoise(std::uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}

    // Uniform in [-1, 1).
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state;
};

}  // namespace tavoFramework
