// Bitmap text: one display list per character code 32 to 127, drawn at the current raster
// position in the current raster colour. printText formats and draws a string in one call.
#pragma once

#include <string>

#include "platform/OpenGL.h"

namespace tavoFramework {

class BitmapFont {
public:
    // Makes the 96 glyph lists from the face of `family` (e.g. "DejaVu Sans"; the system picks a
    // near face when that family is missing) at `pixelSize` pixels to the em. Needs the context
    // current. When no face can be rendered the lists stay empty, so text draws nothing, and a
    // WARNING says so.
    BitmapFont(const char* family, int pixelSize);
    ~BitmapFont();  // deletes the 96 lists (only while a context is current)
    BitmapFont(const BitmapFont&) = delete;  // the object owns its lists
    BitmapFont& operator=(const BitmapFont&) = delete;

    std::string name;     // family of the face found and pixel size, e.g. "DejaVu Sans 14px"
    GLuint listBase = 0;  // first of 96 consecutive lists: list listBase + (c - 32) draws code c
};

// Formats like printf (texts longer than 4095 characters are cut), sets the colour (r, g, b, a
// from 0 to 1; it stays current afterwards), sets the raster position (x, y in the current
// projection and modelview) and draws the text there with the font's lists. Characters outside
// 32 to 127 are skipped. The list base in force before the call is in force after it.
void printText(const BitmapFont* font, float x, float y, float r, float g, float b, float a, const char* format, ...)
    __attribute__((format(printf, 8, 9)));

}  // namespace tavoFramework
