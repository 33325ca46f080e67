// One font face at one pixel size, through FreeType: lays out a line of text on whole pixels and
// draws it onto a canvas. The content tools use the system's DejaVu faces.
#pragma once

#include <string>
#include <vector>

#include "tools/lib/Canvas.h"

namespace tavoFramework {

class FontFace {
public:
    static constexpr const char* sansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    static constexpr const char* sans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

    // Where each byte of a text lands: its glyph's ink, in pixels from the pen start on the
    // baseline (y downwards). A byte without ink (a space) has an empty box at its pen position.
    struct Glyph {
        int penX = 0;
        int inkLeft = 0, inkRight = 0;   // [left, right) columns
        int inkTop = 0, inkBottom = 0;   // [top, bottom) rows, relative to the baseline
    };
    struct Layout {
        std::vector<Glyph> glyphs;  // one per byte of the text
        int advance = 0;            // pen movement over the whole text
        int inkLeft = 0, inkRight = 0, inkTop = 0, inkBottom = 0;  // union of the glyphs' ink
    };

    FontFace();
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // False with `error` set when the file cannot be read as a font.
    bool open(const std::string& path, int pixelSize, std::string& error);

    Layout layout(const std::string& text) const;
    // Draws `text` with its pen starting at (x, baseline), glyph coverage scaling `colour`'s alpha.
    void draw(Canvas& canvas, const std::string& text, int x, int baseline, const Colour& colour) const;

private:
    void* library = nullptr;  // FT_Library
    void* face = nullptr;     // FT_Face
};

}  // namespace tavoFramework
