// Small PNG files for tests, written byte by byte (stored deflate blocks), so fixtures of every
// colour type a decoder may meet (palette, grey, 16-bit) are made where the test needs them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavoTest {

enum PngColourType : std::uint8_t { PNG_GREY = 0, PNG_RGB = 2, PNG_PALETTE = 3, PNG_GREY_ALPHA = 4, PNG_RGBA = 6 };

// Writes `samples` (rows top first, each row width x channels x bitDepth/8 bytes, 16-bit samples
// big-endian) as a PNG file. `palette` holds RGB triples for PNG_PALETTE. False when the file
// cannot be written.
bool writePng(const std::string& path, int width, int height, PngColourType colourType, int bitDepth,
              const std::vector<std::uint8_t>& samples, const std::vector<std::uint8_t>& palette = {});

}  // namespace tavoTest
