// Bitmap text: the pixels of a formatted text against the glyphs laid out by hand, the state
// printText leaves, skipped characters, fonts without a face, and deletion of the lists.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "gl/BitmapFont.h"
#include "platform/FontRasterizer.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using namespace tavoTest;

namespace {

constexpr int width = 128, height = 32;
const char* const family = "DejaVu Sans";
constexpr int pixelSize = 14;

// Window pixels lit by `text` drawn from the pen position (x, y): each glyph's bitmap placed as
// glBitmap places it, then the pen moved by the glyph's advance.
std::vector<bool> expectedPixels(const platform::RasterFont& font, const std::string& text, float x, float y)
{
    std::vector<bool> lit(width * height, false);
    for (unsigned char code : text) {
        const platform::GlyphBitmap& glyph = font.glyphs[code - 32];
        const int left = static_cast<int>(std::floor(x - glyph.originX));
        const int bottom = static_cast<int>(std::floor(y - glyph.originY));
        const int rowBytes = (glyph.width + 7) / 8;
        for (int row = 0; row < glyph.rows; ++row)
            for (int column = 0; column < glyph.width; ++column) {
                const bool set = glyph.bits[row * rowBytes + column / 8] & (0x80 >> (column % 8));
                const int px = left + column, py = bottom + row;
                if (set && px >= 0 && px < width && py >= 0 && py < height)
                    lit[py * width + px] = true;
            }
        x += glyph.advance;
    }
    return lit;
}

std::array<float, 4> currentFloats(GLenum what)
{
    std::array<float, 4> values{};
    glGetFloatv(what, values.data());
    return values;
}

int litInRow(const platform::GlyphBitmap& glyph, int row)
{
    int lit = 0;
    const int rowBytes = (glyph.width + 7) / 8;
    for (int column = 0; column < glyph.width; ++column)
        lit += (glyph.bits[row * rowBytes + column / 8] & (0x80 >> (column % 8))) != 0;
    return lit;
}

TEST(FontRasterizer, GlyphsComeBottomRowFirstWithTheirBaselineAndAdvance)
{
    const platform::RasterFont font = platform::rasterizeFont(family, 20);
    ASSERT_TRUE(font.valid());
    const platform::GlyphBitmap& capitalT = font.glyphs['T' - 32];
    const platform::GlyphBitmap& capitalL = font.glyphs['L' - 32];
    const platform::GlyphBitmap& g = font.glyphs['g' - 32];
    const platform::GlyphBitmap& space = font.glyphs[0];

    EXPECT_GT(litInRow(capitalT, capitalT.rows - 1), litInRow(capitalT, 0)) << "the bar of T is its last row";
    EXPECT_GT(litInRow(capitalL, 0), litInRow(capitalL, capitalL.rows - 1)) << "the foot of L is its first row";
    EXPECT_EQ(capitalT.originY, 0) << "capitals stand on the baseline";
    EXPECT_GT(g.originY, 0) << "g reaches below the baseline";
    for (int row = 0; row < space.rows; ++row)
        EXPECT_EQ(litInRow(space, row), 0) << "a space lights nothing";
    EXPECT_GT(space.advance, 0);
    EXPECT_LT(font.glyphs['i' - 32].advance, font.glyphs['W' - 32].advance);
}

class BitmapFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.valid());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0, width, 0, height);  // one unit per pixel, origin at the bottom left
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    GLTestContext context{width, height};
};

TEST_F(BitmapFontTest, AFormattedTextIsDrawnAtTheRasterPositionInTheGivenColour)
{
    const platform::RasterFont glyphs = platform::rasterizeFont(family, pixelSize);
    ASSERT_TRUE(glyphs.valid());
    BitmapFont font(family, pixelSize);
    EXPECT_EQ(font.name, glyphs.family + " 14px");

    printText(&font, 4, 10, 1.0f, 0.5f, 0.0f, 1.0f, "time: %.03fs", 1.5);

    const std::vector<bool> expected = expectedPixels(glyphs, "time: 1.500s", 4, 10);
    const std::vector<std::uint8_t> drawn = readPixels(0, 0, width, height);
    int litCount = 0;
    for (int i = 0; i < width * height; ++i) {
        const bool lit = drawn[i * 4] != 0 || drawn[i * 4 + 1] != 0 || drawn[i * 4 + 2] != 0;
        ASSERT_EQ(lit, expected[i]) << "pixel " << i % width << ", " << i / width;
        if (lit) {
            ++litCount;
            EXPECT_EQ(drawn[i * 4], 255);
            EXPECT_NEAR(drawn[i * 4 + 1], 128, 1);
            EXPECT_EQ(drawn[i * 4 + 2], 0);
        }
    }
    EXPECT_GT(litCount, 50);
}

TEST_F(BitmapFontTest, LeavesTheColourAndListBaseAndMovesTheRasterPositionByTheAdvances)
{
    const platform::RasterFont glyphs = platform::rasterizeFont(family, pixelSize);
    ASSERT_TRUE(glyphs.valid());
    BitmapFont font(family, pixelSize);
    const float advanceA = glyphs.glyphs['A' - 32].advance, advanceB = glyphs.glyphs['B' - 32].advance;
    const float advanceI = glyphs.glyphs['i' - 32].advance;
    const std::string tooLong(5000, 'i');

    const struct {
        const char* format;
        const char* argument;
        float advance;
    } cases[] = {
        {"", "", 0.0f},
        {"%s", "AB", advanceA + advanceB},
        {"%s", tooLong.c_str(), 4095 * advanceI},  // cut to 4095 characters
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.advance);
        glListBase(77);
        printText(&font, 3, 5, 0.25f, 0.5f, 0.75f, 1.0f, c.format, c.argument);
        GLint listBase = 0;
        glGetIntegerv(GL_LIST_BASE, &listBase);
        EXPECT_EQ(listBase, 77);
        EXPECT_EQ(currentFloats(GL_CURRENT_COLOR), (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1.0f}));
        const std::array<float, 4> raster = currentFloats(GL_CURRENT_RASTER_POSITION);
        EXPECT_FLOAT_EQ(raster[0], 3 + c.advance);
        EXPECT_FLOAT_EQ(raster[1], 5);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BitmapFontTest, CharactersOutsideTheFontAreSkippedAndCallNoOtherList)
{
    // Lists just below and above the font's own catch any code outside 32 to 127.
    const GLuint below = glGenLists(40);
    BitmapFont font(family, pixelSize);
    ASSERT_EQ(font.listBase, below + 40) << "the font's lists follow the lower traps";
    const GLuint above = glGenLists(200);
    ASSERT_EQ(above, font.listBase + 96);
    for (GLuint list = below; list < above + 200; list = list + 1 == below + 40 ? above : list + 1) {
        glNewList(list, GL_COMPILE);
        glColor3f(0, 1, 0);
        glRectf(0, 0, width, height);
        glEndList();
    }

    printText(&font, 2, 8, 1, 1, 1, 1, "AB");
    const std::vector<std::uint8_t> plain = readPixels(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT);
    printText(&font, 2, 8, 1, 1, 1, 1, "A\x01\x1f\xc3\xa9%cB", 127 + 73);
    EXPECT_EQ(readPixels(0, 0, width, height), plain);
    glDeleteLists(below, 40);
    glDeleteLists(above, 200);
}

TEST_F(BitmapFontTest, AFontWithoutFaceWarnsAndDrawsNothing)
{
    TraceCapture trace;
    BitmapFont font(family, 0);
    const std::vector<std::string> messages = trace.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "WARNING (bitmapFont): no face could be rendered for DejaVu Sans 0px; its text stays invisible");

    printText(&font, 2, 8, 1, 1, 1, 1, "hidden");
    const std::vector<std::uint8_t> pixels = readPixels(0, 0, width, height);
    for (int i = 0; i < width * height; ++i)
        ASSERT_EQ(pixels[i * 4] | pixels[i * 4 + 1] | pixels[i * 4 + 2], 0) << "pixel " << i % width << ", " << i / width;
    EXPECT_EQ(currentFloats(GL_CURRENT_COLOR), (std::array<float, 4>{1, 1, 1, 1}));
}

TEST_F(BitmapFontTest, TwoFontsKeepTheirOwnListsAndDestroyingOneDeletesItsLists)
{
    auto small = std::make_unique<BitmapFont>(family, 10);
    BitmapFont large(family, 24);
    EXPECT_NE(small->listBase, large.listBase);
    const GLuint smallBase = small->listBase;
    for (GLuint i = 0; i < 96; ++i)
        ASSERT_TRUE(glIsList(smallBase + i));

    // The large font's capital is taller than the small one's.
    auto litRows = [] {
        int rows = 0;
        const std::vector<std::uint8_t> pixels = readPixels(0, 0, width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixels[(y * width + x) * 4] != 0) {
                    ++rows;
                    break;
                }
        return rows;
    };
    printText(small.get(), 2, 4, 1, 1, 1, 1, "H");
    const int smallRows = litRows();
    glClear(GL_COLOR_BUFFER_BIT);
    printText(&large, 2, 4, 1, 1, 1, 1, "H");
    EXPECT_GT(litRows(), smallRows);
    EXPECT_GT(smallRows, 0);

    small.reset();
    for (GLuint i = 0; i < 96; ++i)
        EXPECT_FALSE(glIsList(smallBase + i));
    EXPECT_TRUE(glIsList(large.listBase));
}

}  // namespace
