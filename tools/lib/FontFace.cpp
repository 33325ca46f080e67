// FreeType glyph loading with its default hinting; pen positions are kept in 26.6 fixed point and
// rounded per glyph, with the face's kerning where it has one.
#include "tools/lib/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>

namespace tavoFramework {

namespace {

FT_Face asFace(void* face)
{
    return static_cast<FT_Face>(face);
}

}  // namespace

FontFace::FontFace() = default;

FontFace::~FontFace()
{
    if (face)
        FT_Done_Face(asFace(face));
    if (library)
        FT_Done_FreeType(static_cast<FT_Library>(library));
}

bool FontFace::open(const std::string& path, int pixelSize, std::string& error)
{
    FT_Library ft = nullptr;
    if (!library) {
        if (FT_Init_FreeType(&ft) != 0) {
            error = "FreeType could not start";
            return false;
        }
        library = ft;
    }
    FT_Face loaded = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(library), path.c_str(), 0, &loaded) != 0) {
        error = "cannot read the font " + path;
        return false;
    }
    if (FT_Set_Pixel_Sizes(loaded, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        FT_Done_Face(loaded);
        error = "the font " + path + " has no size " + std::to_string(pixelSize);
        return false;
    }
    if (face)
        FT_Done_Face(asFace(face));
    face = loaded;
    return true;
}

FontFace::Layout FontFace::layout(const std::string& text) const
{
    Layout result;
    result.inkLeft = result.inkTop = INT_MAX;
    result.inkRight = result.inkBottom = INT_MIN;
    FT_Face f = asFace(face);
    FT_Pos pen = 0;  // 26.6
    FT_UInt previous = 0;
    for (unsigned char byte : text) {
        const FT_UInt index = FT_Get_Char_Index(f, byte);
        if (previous && index && FT_HAS_KERNING(f)) {
            FT_Vector kerning;
            FT_Get_Kerning(f, previous, index, FT_KERNING_DEFAULT, &kerning);
            pen += kerning.x;
        }
        Glyph glyph;
        glyph.penX = static_cast<int>((pen + 32) >> 6);
        glyph.inkLeft = glyph.inkRight = glyph.penX;
        if (FT_Load_Glyph(f, index, FT_LOAD_RENDER) == 0) {
            const FT_GlyphSlot slot = f->glyph;
            if (slot->bitmap.width > 0 && slot->bitmap.rows > 0) {
                glyph.inkLeft = glyph.penX + slot->bitmap_left;
                glyph.inkRight = glyph.inkLeft + static_cast<int>(slot->bitmap.width);
                glyph.inkTop = -slot->bitmap_top;
                glyph.inkBottom = glyph.inkTop + static_cast<int>(slot->bitmap.rows);
                result.inkLeft = std::min(result.inkLeft, glyph.inkLeft);
                result.inkRight = std::max(result.inkRight, glyph.inkRight);
                result.inkTop = std::min(result.inkTop, glyph.inkTop);
                result.inkBottom = std::max(result.inkBottom, glyph.inkBottom);
            }
            pen += slot->advance.x;
        }
        result.glyphs.push_back(glyph);
        previous = index;
    }
    result.advance = static_cast<int>((pen + 32) >> 6);
    if (result.inkLeft == INT_MAX)
        result.inkLeft = result.inkRight = result.inkTop = result.inkBottom = 0;
    return result;
}

void FontFace::draw(Canvas& canvas, const std::string& text, int x, int baseline, const Colour& colour) const
{
    const Layout placed = layout(text);
    FT_Face f = asFace(face);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const FT_UInt index = FT_Get_Char_Index(f, static_cast<unsigned char>(text[i]));
        if (FT_Load_Glyph(f, index, FT_LOAD_RENDER) != 0)
            continue;
        const FT_Bitmap& bitmap = f->glyph->bitmap;
        const int left = x + placed.glyphs[i].penX + f->glyph->bitmap_left;
        const int top = baseline - f->glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const unsigned char value = bitmap.buffer[static_cast<int>(row) * bitmap.pitch + static_cast<int>(column)];
                canvas.blend(left + static_cast<int>(column), top + static_cast<int>(row), colour, value / 255.0f);
            }
    }
}

}  // namespace tavoFramework
