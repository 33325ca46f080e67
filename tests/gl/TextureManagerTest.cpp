// Image files decoded once and shared by name: pixels and sizes of RGB and RGBA pictures, the
// warning for other pixel layouts, null entries for missing files, and addTexture.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "gl/GL_MemTexture.h"
#include "gl/GL_TextureManager.h"
#include "gl/ScreenQuad.h"
#include "tests/gl/TestPng.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using namespace tavoTest;

namespace {

class TextureManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.valid());
        char pattern[] = "/tmp/tavo-textures-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // The file's name in the system's own style: backslashes between folders.
    std::string systemName(const std::string& file) const { return folder + "\\" + file; }
    std::string path(const std::string& file) const { return folder + "/" + file; }

    GLTestContext context{8, 8};
    std::string folder;
};

TEST_F(TextureManagerTest, RgbAndRgbaImagesKeepTheirSizeAndPixelsWithTheTopRowUpWhenFlipped)
{
    // Three columns make RGB rows of 9 bytes, which no 4-byte row alignment fits.
    const struct {
        const char* file;
        PngColourType type;
        int channels;
        GLenum format;
    } cases[] = {{"rgb.png", PNG_RGB, 3, GL_RGB}, {"rgba.png", PNG_RGBA, 4, GL_RGBA}};
    const int width = 3, height = 2;

    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<std::uint8_t> samples;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t texel[4] = {static_cast<std::uint8_t>(40 + 100 * y), static_cast<std::uint8_t>(20 + 80 * x),
                                               static_cast<std::uint8_t>(200 - 30 * x - 60 * y), static_cast<std::uint8_t>(255 - 50 * x)};
                samples.insert(samples.end(), texel, texel + c.channels);
            }
        ASSERT_TRUE(writePng(path(c.file), width, height, c.type, 8, samples));

        GL_TextureManager manager;
        GL_Texture* texture = manager.getTexture(systemName(c.file).c_str(), GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->width, width);
        EXPECT_EQ(texture->height, height);
        EXPECT_EQ(texture->format, c.format);

        // One texel per pixel: the viewport is the image's size, so linear filtering samples centres.
        glViewport(0, 0, width, height);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        texture->bind(GL_TEXTURE0);
        drawScreenQuad(true);
        texture->unbind();
        const std::vector<std::uint8_t> drawn = readPixels(0, 0, width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int screenRow = height - 1 - y;  // file row 0 at the top
                for (int channel = 0; channel < c.channels; ++channel)
                    EXPECT_EQ(drawn[(screenRow * width + x) * 4 + channel], samples[(y * width + x) * c.channels + channel])
                        << "texel " << x << ", " << y << " channel " << channel;
            }
    }
}

TEST_F(TextureManagerTest, OtherPixelLayoutsMakeATextureWithoutImageAndAWarning)
{
    const struct {
        const char* file;
        PngColourType type;
        int bitDepth;
        std::vector<std::uint8_t> samples;
        std::vector<std::uint8_t> palette;
        int bytesPerPixel;
    } cases[] = {
        {"palette.png", PNG_PALETTE, 8, {0, 1, 1, 0}, {255, 0, 0, 0, 0, 255}, 1},
        {"grey.png", PNG_GREY, 8, {0, 80, 160, 255}, {}, 1},
        {"grey-alpha.png", PNG_GREY_ALPHA, 8, {0, 255, 80, 255, 160, 0, 255, 9}, {}, 2},
        {"deep.png", PNG_RGB, 16, std::vector<std::uint8_t>(2 * 2 * 6, 0x80), {}, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(writePng(path(c.file), 2, 2, c.type, c.bitDepth, c.samples, c.palette));

        unsigned char* pixels = nullptr;
        int width = 0, height = 0, bytesPerPixel = 0;
        ASSERT_TRUE(loadImageFile(path(c.file).c_str(), pixels, width, height, bytesPerPixel));
        delete[] pixels;
        EXPECT_EQ(bytesPerPixel, c.bytesPerPixel);

        TraceCapture trace;
        GL_TextureManager manager;
        const std::string name = systemName(c.file);
        GL_Texture* texture = manager.getTexture(name.c_str(), GL_REPEAT, GL_REPEAT);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->width, 32);
        EXPECT_EQ(texture->height, 32);
        EXPECT_EQ(texture->textureId, 0u);
        EXPECT_EQ(manager.getTexture(name.c_str(), GL_REPEAT, GL_REPEAT), texture);

        const std::vector<std::string> messages = trace.messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].rfind("WARNING (textureManager): " + name, 0), 0u) << messages[0];
        EXPECT_NE(messages[0].find(std::to_string(c.bytesPerPixel) + " bytes per pixel"), std::string::npos) << messages[0];
    }
}

TEST_F(TextureManagerTest, ANameIsDecodedOnceAndKeepsTheWrapModesOfItsFirstRequest)
{
    const std::vector<std::uint8_t> pixel = {10, 20, 30};
    ASSERT_TRUE(writePng(path("flare1.png"), 1, 1, PNG_RGB, 8, pixel));
    GL_TextureManager manager;
    const std::string name = systemName("flare1.png");

    GL_Texture* first = manager.getTexture(name.c_str(), GL_REPEAT, GL_CLAMP_TO_EDGE);
    ASSERT_NE(first, nullptr);
    std::filesystem::remove(path("flare1.png"));  // a second decode would now fail
    EXPECT_EQ(manager.getTexture(name.c_str(), GL_CLAMP_TO_EDGE, GL_REPEAT), first);

    glBindTexture(GL_TEXTURE_2D, first->textureId);
    GLint wrapS = 0, wrapT = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_CLAMP_TO_EDGE);
}

TEST_F(TextureManagerTest, NamesDifferingInCaseOrSeparatorsAreSeparateEntries)
{
    const std::vector<std::uint8_t> pixel = {10, 20, 30};
    ASSERT_TRUE(writePng(path("pic.png"), 1, 1, PNG_RGB, 8, pixel));
    ASSERT_TRUE(writePng(path("PIC.png"), 1, 1, PNG_RGB, 8, pixel));
    GL_TextureManager manager;

    GL_Texture* backslash = manager.getTexture((folder + "\\pic.png").c_str(), GL_REPEAT, GL_REPEAT);
    GL_Texture* doubled = manager.getTexture((folder + "//pic.png").c_str(), GL_REPEAT, GL_REPEAT);
    GL_Texture* upper = manager.getTexture((folder + "\\PIC.png").c_str(), GL_REPEAT, GL_REPEAT);
    ASSERT_NE(backslash, nullptr);
    ASSERT_NE(doubled, nullptr);
    ASSERT_NE(upper, nullptr);
    EXPECT_NE(backslash, doubled);
    EXPECT_NE(backslash, upper);
    EXPECT_NE(backslash->textureId, doubled->textureId);
}

TEST_F(TextureManagerTest, AMissingFileGivesNullSilentlyAndIsTriedAgainOnTheNextRequest)
{
    TraceCapture trace;
    GL_TextureManager manager;
    const std::string name = systemName("later.png");
    EXPECT_EQ(manager.getTexture(name.c_str(), GL_REPEAT, GL_REPEAT), nullptr);
    EXPECT_EQ(manager.getTexture(name.c_str(), GL_REPEAT, GL_REPEAT), nullptr);
    EXPECT_EQ(manager.getTexture("depthPass", GL_REPEAT, GL_REPEAT), nullptr);

    const std::vector<std::uint8_t> pixel = {1, 2, 3, 4};
    ASSERT_TRUE(writePng(path("later.png"), 1, 1, PNG_RGBA, 8, pixel));
    GL_Texture* texture = manager.getTexture(name.c_str(), GL_REPEAT, GL_REPEAT);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->width, 1);
    EXPECT_TRUE(trace.messages().empty());

    // A file that is there but is no picture is as good as missing.
    std::FILE* junk = std::fopen(path("junk.png").c_str(), "wb");
    ASSERT_NE(junk, nullptr);
    std::fputs("not a picture", junk);
    std::fclose(junk);
    unsigned char* pixels = nullptr;
    int width = -7, height = -7, bytesPerPixel = -7;
    EXPECT_FALSE(loadImageFile(path("junk.png").c_str(), pixels, width, height, bytesPerPixel));
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(width, -7);
    EXPECT_EQ(manager.getTexture(systemName("junk.png").c_str(), GL_REPEAT, GL_REPEAT), nullptr);
    EXPECT_TRUE(trace.messages().empty());
}

TEST_F(TextureManagerTest, AddTextureFillsAnEmptyOrNullEntryButNeverReplaces)
{
    GL_TextureManager manager;
    const std::string missing = systemName("missing.png");
    ASSERT_EQ(manager.getTexture(missing.c_str(), GL_REPEAT, GL_REPEAT), nullptr);  // a null entry now

    GL_MemTexture* first = new GL_MemTexture;
    GL_MemTexture* second = new GL_MemTexture;
    EXPECT_FALSE(manager.addTexture(missing.c_str(), first));
    EXPECT_EQ(manager.getTexture(missing.c_str(), GL_REPEAT, GL_REPEAT), first);
    EXPECT_TRUE(manager.addTexture(missing.c_str(), second));
    EXPECT_EQ(manager.getTexture(missing.c_str(), GL_REPEAT, GL_REPEAT), first);
    delete second;  // refused, so still ours

    GL_MemTexture* fresh = new GL_MemTexture;
    EXPECT_FALSE(manager.addTexture("never asked for", fresh));
    EXPECT_EQ(manager.getTexture("never asked for", GL_REPEAT, GL_REPEAT), fresh);
}

TEST_F(TextureManagerTest, DestroyingTheManagerDeletesItsTextures)
{
    const std::vector<std::uint8_t> pixel = {10, 20, 30};
    ASSERT_TRUE(writePng(path("owned.png"), 1, 1, PNG_RGB, 8, pixel));
    auto manager = std::make_unique<GL_TextureManager>();
    GL_Texture* texture = manager->getTexture(systemName("owned.png").c_str(), GL_REPEAT, GL_REPEAT);
    ASSERT_NE(texture, nullptr);
    const GLuint name = texture->textureId;
    EXPECT_TRUE(glIsTexture(name));
    manager.reset();
    EXPECT_FALSE(glIsTexture(name));
}

}  // namespace
