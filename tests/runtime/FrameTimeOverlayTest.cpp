// The F10 read-out drawn over a white picture: the darkened left quarter and the two strokes of
// the frame-time graph, read back from a hidden GL context.
#include <gtest/gtest.h>

#include "platform/OpenGL.h"
#include "runtime/Demo.h"
#include "tests/support/GLTestContext.h"

namespace tavoTest {
namespace {

using namespace tavoFramework;
using Pixel = std::array<std::uint8_t, 4>;

constexpr int width = 400;
constexpr int height = 200;

// Whether a pixel of the given colour lies within two pixels of (x, y), y counted from the top.
bool colourNear(int x, int yFromTop, Pixel colour)
{
    const std::vector<std::uint8_t> pixels = readPixels(x - 2, height - 1 - yFromTop - 2, 5, 5);
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        if (Pixel{pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]} == colour)
            return true;
    return false;
}

TEST(FrameTimeOverlay, DarkensTheLeftQuarterAndDrawsTheGraph)
{
    GLTestContext context(width, height);
    ASSERT_TRUE(context.valid());
    Demo demo;
    // 99 recent samples of 50 ms, older ones of 100 ms; this frame's delta, 50 ms, is sample 99.
    for (std::uint32_t i = 0; i < Demo::FRAME_HISTORY; ++i)
        demo.frameTimeHistory[i] = i < 99 ? 0.05f : 0.1f;
    demo.historyIndex = 99;
    demo.clock.delta = 0.05f;
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    demo.drawFrameTimeOverlay();

    EXPECT_EQ(demo.historyIndex, 100u);
    EXPECT_EQ(demo.frameTimeHistory[99], 0.05f);
    const Pixel darkened{64, 51, 51, 255};
    const Pixel white{255, 255, 255, 255};
    EXPECT_EQ(readPixel(5, height - 1 - 20), darkened) << "the left quarter, multiplied by (0.25, 0.2, 0.2)";
    EXPECT_EQ(readPixel(95, 5), darkened);
    EXPECT_EQ(readPixel(105, height / 2), white) << "the rest is untouched";
    // Sample i at x = i / 1000 of the width (0.4 pixels apart), y = 0.25 + 4 x delta of the height
    // from the top: the red samples 0 to 99 at x 0 to 40, y 90; the olive 100 to 249 at x 40 to 100, y 130.
    const Pixel red{255, 0, 0, 255};
    const Pixel olive{128, 128, 0, 255};
    EXPECT_TRUE(colourNear(10, 90, red)) << "samples since the wrap in red";
    EXPECT_TRUE(colourNear(35, 90, red));
    EXPECT_TRUE(colourNear(60, 130, olive)) << "older samples in olive";
    EXPECT_TRUE(colourNear(95, 130, olive));
    EXPECT_FALSE(colourNear(20, 130, olive));
    EXPECT_FALSE(colourNear(60, 90, red));
    EXPECT_EQ(demo.fps.frames, 1u);

    GLint blend = 1, lighting = 1;
    glGetIntegerv(GL_BLEND, &blend);
    glGetIntegerv(GL_LIGHTING, &lighting);
    EXPECT_EQ(blend, GL_FALSE);
    EXPECT_EQ(lighting, GL_FALSE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(FrameTimeOverlay, FramesPerSecondOverHalfSeconds)
{
    GLTestContext context(8, 8);
    ASSERT_TRUE(context.valid());
    Demo demo;
    demo.clock.delta = 0.1f;
    const std::uint32_t expected[] = {0, 0, 0, 0, 10, 10, 10, 10, 10, 10};  // 5 frames of 0.1 s reach 0.5 s
    for (std::uint32_t value : expected) {
        demo.drawFrameTimeOverlay();
        EXPECT_EQ(demo.fps.lastValue, value);
    }
}

}  // namespace
}  // namespace tavoTest
