// An 8-bit truecolour picture (RGB or RGBA, top row first) and its PNG encoding with fixed
// settings, so the same pixels always give the same file.
#pragma once

#include <cstdint>
#include <vector>

namespace tavoFramework {

class PngImage {
public:
    // channels is 3 (RGB) or 4 (RGBA); every byte starts at 0.
    PngImage(int width, int height, int channels);

    int width() const { return imageWidth; }
    int height() const { return imageHeight; }
    int channels() const { return imageChannels; }
    std::uint8_t* pixel(int x, int y) { return &bytes[offset(x, y)]; }
    const std::uint8_t* pixel(int x, int y) const { return &bytes[offset(x, y)]; }
    const std::vector<std::uint8_t>& data() const { return bytes; }

    // The PNG file: 8 bits per channel, no interlacing, no time or text chunks, zlib level 9.
    std::vector<std::uint8_t> encode() const;

private:
    std::size_t offset(int x, int y) const
    {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(imageWidth) + static_cast<std::size_t>(x)) *
               static_cast<std::size_t>(imageChannels);
    }

    int imageWidth;
    int imageHeight;
    int imageChannels;
    std::vector<std::uint8_t> bytes;
};

}  // namespace tavoFramework
