// A hidden OpenGL context for tests: a window on SDL's offscreen driver with the show's pixel
// format (RGBA 8-8-8-8, depth 24, double-buffered, compatibility profile), made current. Tests
// draw, read pixels back and check them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/OpenGL.h"

namespace tavoTest {

class GLTestContext {
public:
    GLTestContext(int width, int height);
    ~GLTestContext();
    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    bool valid() const { return context != nullptr; }
    int width() const { return contextWidth; }
    int height() const { return contextHeight; }

private:
    void* window = nullptr;
    void* context = nullptr;
    int contextWidth;
    int contextHeight;
};

// RGBA bytes of one pixel of the current read framebuffer (x, y from the bottom-left).
std::array<std::uint8_t, 4> readPixel(int x, int y);

// RGBA bytes of a rectangle of the current read framebuffer, rows bottom-up.
std::vector<std::uint8_t> readPixels(int x, int y, int width, int height);

}  // namespace tavoTest
