// Glyphs through FreeType's monochrome renderer.
#include "platform/FontRasterizer.h"

#include "platform/Platform.h"

#include <algorithm>

#include <ft2build.h>
#include FT_FREETYPE_H               // opening the face and rendering glyphs

namespace tavoFramework {
namespace platform {

namespace {

// The rendered glyph slot as a bottom-up bitmap; false for anything but one bit per pixel in
// top-down rows.
bool copyGlyph(const FT_GlyphSlot slot, GlyphBitmap& glyph)
{
    const FT_Bitmap& bitmap = slot->bitmap;
    const bool empty = bitmap.rows == 0 || bitmap.width == 0;
    if (!empty && (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.pitch < static_cast<int>((bitmap.width + 7) / 8)))
        return false;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.originX = -slot->bitmap_left;
    glyph.originY = glyph.rows - slot->bitmap_top;
    glyph.advance = static_cast<float>(slot->advance.x) / 64.0f;  // 26.6 fixed point

    const int rowBytes = (glyph.width + 7) / 8;
    glyph.bits.assign(static_cast<std::size_t>(rowBytes) * glyph.rows, 0);
    for (int row = 0; row < glyph.rows; ++row) {
        const unsigned char* source = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
        const int targetRow = glyph.rows - 1 - row;
        std::copy(source, source + rowBytes, glyph.bits.begin() + static_cast<long>(targetRow) * rowBytes);
    }
    return true;
}

}  // namespace

RasterFont rasterizeFont(const char* family, int pixelSize)
{
    RasterFont font;
    const FontFace found = findFontFace(family);
    if (pixelSize <= 0 || found.file.empty())
        return font;
    font.family = found.family;

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return font;
    FT_Face face = nullptr;
    if (FT_New_Face(library, found.file.c_str(), found.index, &face) == 0) {
        std::vector<GlyphBitmap> glyphs(RasterFont::glyphCount);
        bool rendered = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) == 0;
        for (int i = 0; rendered && i < RasterFont::glyphCount; ++i) {
            rendered = FT_Load_Char(face, RasterFont::firstCode + i, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0 &&
                       copyGlyph(face->glyph, glyphs[i]);
        }
        if (rendered)
            font.glyphs = std::move(glyphs);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return font;
}

}  // namespace platform
}  // namespace tavoFramework
