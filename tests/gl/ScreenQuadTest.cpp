// The screen quad: which way up the texture lands, the matrices it leaves, the area it covers.
#include <gtest/gtest.h>

#include <array>

#include "gl/GL_MemTexture.h"
#include "gl/ScreenQuad.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using namespace tavoTest;

namespace {

using Rgba = std::array<std::uint8_t, 4>;
const Rgba red = {255, 0, 0, 255}, green = {0, 255, 0, 255}, blue = {0, 0, 255, 255}, white = {255, 255, 255, 255};

// A 2 x 2 texture: row 0 red, green; row 1 blue, white.
void uploadCorners(GL_MemTexture& texture)
{
    const unsigned char pixels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    texture.upload(pixels, 2, 2, GL_RGBA, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
}

TEST(ScreenQuad, RowZeroLandsAtTheBottomUnlessFlipped)
{
    GLTestContext context(2, 2);
    ASSERT_TRUE(context.valid());
    GL_MemTexture texture;
    uploadCorners(texture);
    texture.bind(GL_TEXTURE0);
    glColor3f(1, 1, 1);

    const struct {
        bool flip;
        Rgba bottomLeft, bottomRight, topLeft, topRight;
    } cases[] = {{false, red, green, blue, white}, {true, blue, white, red, green}};
    for (const auto& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        drawScreenQuad(c.flip);
        EXPECT_EQ(readPixel(0, 0), c.bottomLeft) << "flip " << c.flip;
        EXPECT_EQ(readPixel(1, 0), c.bottomRight) << "flip " << c.flip;
        EXPECT_EQ(readPixel(0, 1), c.topLeft) << "flip " << c.flip;
        EXPECT_EQ(readPixel(1, 1), c.topRight) << "flip " << c.flip;
    }
    texture.unbind();
}

TEST(ScreenQuad, LeavesBothMatricesAsTheyWereWithModelviewCurrent)
{
    GLTestContext context(8, 8);
    ASSERT_TRUE(context.valid());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -3, 3, -1, 1);
    GLfloat projectionBefore[16], modelviewBefore[16], projectionAfter[16], modelviewAfter[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore);

    drawScreenQuad(false);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(projectionAfter[i], projectionBefore[i]) << i;
        EXPECT_EQ(modelviewAfter[i], modelviewBefore[i]) << i;
    }
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST(ScreenQuad, CoversTheViewportOnly)
{
    GLTestContext context(8, 8);
    ASSERT_TRUE(context.valid());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 2, 8, 4);  // a letterbox: bands of 2 rows above and below
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    drawScreenQuad(true);

    const std::vector<std::uint8_t> pixels = readPixels(0, 0, 8, 8);
    for (int y = 0; y < 8; ++y) {
        const bool inside = y >= 2 && y < 6;
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pixels[(y * 8 + x) * 4], inside ? 255 : 0) << x << ", " << y;
    }
}

}  // namespace
