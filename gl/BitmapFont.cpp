// Glyph display lists made from the platform's rasterised glyphs, and the text call.
#include "gl/BitmapFont.h"

#include <cstdarg>
#include <cstdio>

#include "platform/FontRasterizer.h"
#include "platform/Platform.h"
#include "runtime/Trace.h"

namespace tavoFramework {

namespace {
constexpr int firstCode = platform::RasterFont::firstCode;
constexpr int glyphCount = platform::RasterFont::glyphCount;
constexpr int lastCode = firstCode + glyphCount - 1;
}  // namespace

BitmapFont::BitmapFont(const char* family, int pixelSize)
{
    const platform::RasterFont font = platform::rasterizeFont(family, pixelSize);
    name = (font.valid() ? font.family : std::string(family)) + " " + std::to_string(pixelSize) + "px";
    if (!font.valid())
        Trace::write(WARNING, "bitmapFont", "no face could be rendered for %s; its text stays invisible", name.c_str());

    // The glyph rows are packed without padding; glBitmap reads them when each list is compiled.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    listBase = glGenLists(glyphCount);
    for (int i = 0; i < glyphCount && listBase != 0; ++i) {
        glNewList(listBase + i, GL_COMPILE);
        if (font.valid()) {
            const platform::GlyphBitmap& glyph = font.glyphs[i];
            glBitmap(glyph.width, glyph.rows, static_cast<GLfloat>(glyph.originX), static_cast<GLfloat>(glyph.originY),
                     glyph.advance, 0.0f, glyph.bits.empty() ? nullptr : glyph.bits.data());
        }
        glEndList();
    }
    glPopClientAttrib();
}

BitmapFont::~BitmapFont()
{
    if (listBase != 0 && platform::glContextCurrent())
        glDeleteLists(listBase, glyphCount);
}

void printText(const BitmapFont* font, float x, float y, float r, float g, float b, float a, const char* format, ...)
{
    char text[4096];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);

    // Only codes the font has lists for are sent: any other would call a list outside the font.
    unsigned char shown[sizeof text];
    GLsizei count = 0;
    for (const char* c = text; *c; ++c) {
        const unsigned char code = static_cast<unsigned char>(*c);
        if (code >= firstCode && code <= lastCode && font->listBase != 0)
            shown[count++] = code;
    }

    glColor4f(r, g, b, a);
    glRasterPos2f(x, y);  // takes the colour along: the glyphs are drawn in it
    glPushAttrib(GL_LIST_BIT);
    glListBase(font->listBase - firstCode);
    glCallLists(count, GL_UNSIGNED_BYTE, shown);
    glPopAttrib();
}

}  // namespace tavoFramework
