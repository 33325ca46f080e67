// Glyph bitmaps for bitmap text: a font face found by family name through the system's font
// configuration, rendered one bit per pixel for the character codes 32 to 127.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavoFramework {
namespace platform {

// One character, laid out for glBitmap: `bits` holds `rows` rows of ceil(width / 8) bytes each,
// the bottom row first, the leftmost pixel in the highest bit of a byte. The bitmap's lower-left
// corner lies at (pen x - originX, pen y - originY), the baseline at pen y.
struct GlyphBitmap {
    int width = 0;      // pixels
    int rows = 0;       // pixels
    int originX = 0;    // pixels from the bitmap's left edge to the pen
    int originY = 0;    // pixels from the bitmap's bottom row to the baseline
    float advance = 0;  // pixels the pen moves right after the glyph
    std::vector<std::uint8_t> bits;
};

struct RasterFont {
    static constexpr int firstCode = 32;
    static constexpr int glyphCount = 96;  // codes 32 to 127

    std::string family;               // the family of the face that was found
    std::vector<GlyphBitmap> glyphs;  // glyphCount entries when valid, glyph i for code 32 + i
    bool valid() const { return glyphs.size() == glyphCount; }
};

// The best face for `family` (the system picks a near one when the family is not installed),
// rendered `pixelSize` pixels to the em. Not valid when no face could be opened or rendered.
RasterFont rasterizeFont(const char* family, int pixelSize);

}  // namespace platform
}  // namespace tavoFramework
