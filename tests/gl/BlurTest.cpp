// The blur: buffer sizes and programs, the number of passes, strength 0 and negative strengths,
// the spread of a white square against a reference computation, and shut-down.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gl/Blur.h"
#include "gl/FboStack.h"
#include "gl/GL_FBOTexture.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using namespace tavoTest;

namespace {

// Red channel of every texel of a framebuffer texture, rows bottom-up.
std::vector<int> redTexels(GL_FBOTexture& fbo)
{
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(fbo.width) * fbo.height * 3);
    glBindTexture(GL_TEXTURE_2D, fbo.textureId);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    std::vector<int> red(texels.size() / 3);
    for (std::size_t i = 0; i < red.size(); ++i)
        red[i] = texels[i * 3];
    return red;
}

// A framebuffer texture cleared to black with a white square [x0, x1) x [y0, y1).
void drawSquare(GL_FBOTexture& fbo, int x0, int y0, int x1, int y1)
{
    beginFbo(&fbo);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x0, y0, x1 - x0, y1 - y0);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    endFbo(&fbo);
}

// The blur passes computed on the CPU: bilinear taps with clamping at the edges, texel centres
// at (i + 0.5) / size, and each pass stored as 8-bit values like the buffers.
std::vector<int> referenceBlur(std::vector<int> picture, int size, float strength, int passes)
{
    const double weights[7] = {0.015625, 0.09375, 0.234375, 0.3125, 0.234375, 0.09375, 0.015625};
    const double step = 0.009 * strength * size;  // in texels
    auto at = [&](const std::vector<int>& p, int x, int y) {
        return p[std::clamp(y, 0, size - 1) * size + std::clamp(x, 0, size - 1)];
    };
    auto sample = [&](const std::vector<int>& p, double x, double y) {  // x, y in texels, centres at integers
        const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
        const double fx = x - x0, fy = y - y0;
        return (1 - fx) * (1 - fy) * at(p, x0, y0) + fx * (1 - fy) * at(p, x0 + 1, y0) +
               (1 - fx) * fy * at(p, x0, y0 + 1) + fx * fy * at(p, x0 + 1, y0 + 1);
    };
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<int> next(picture.size());
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                double sum = 0;
                for (int k = -3; k <= 3; ++k)
                    sum += weights[k + 3] * (sample(picture, x, y + k * step) + sample(picture, x + k * step, y));
                next[y * size + x] = static_cast<int>(std::lround(sum * 0.5));
            }
        picture = next;
    }
    return picture;
}

class BlurTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.valid()); }
    GLTestContext context{32, 32};
};

TEST_F(BlurTest, InitMakesHalfSizeBuffersRoundedDownAndBothPrograms)
{
    TraceCapture trace;
    initBlur(1366, 767);
    const std::vector<std::string> messages = trace.messages();
    shutdownBlur();

    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "INFO (fboCreator): FBO successfully created (683 * 383)");
    EXPECT_EQ(messages[1], "INFO (fboCreator): FBO successfully created (683 * 383)");
    EXPECT_EQ(messages[2].rfind("INFO (shaderCompiler): (vomuBlurShader) - shader created! (Log: ", 0), 0u) << messages[2];
    EXPECT_EQ(messages[3].rfind("INFO (shaderCompiler): (vomuSmartBlurShader) - shader created! (Log: ", 0), 0u) << messages[3];
}

TEST_F(BlurTest, PassCountGrowsWithStrengthAndNegativeStrengthOnlyCopies)
{
    // Every pass covers one buffer; the copy in covers one more and the copy out the destination.
    initBlur(64, 32);  // 32 x 16 buffers
    const int bufferArea = 32 * 16;
    GL_FBOTexture source, destination;
    source.create(64, 32, 0);
    destination.create(20, 10, 0);
    GLuint query = 0;
    glGenQueries(1, &query);

    const struct {
        float strength;
        int passes;
    } cases[] = {{0.0f, 1}, {0.04f, 1}, {0.05f, 2}, {0.5f, 11}, {1.0f, 21}, {-0.01f, 0}, {-3.0f, 0}};
    for (const auto& c : cases) {
        glBeginQuery(GL_SAMPLES_PASSED, query);
        applyBlur(&source, c.strength, &destination);
        glEndQuery(GL_SAMPLES_PASSED);
        GLuint samples = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
        EXPECT_EQ(samples, static_cast<GLuint>((c.passes + 1) * bufferArea + 20 * 10)) << "strength " << c.strength;
    }
    glDeleteQueries(1, &query);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    shutdownBlur();
}

TEST_F(BlurTest, StrengthZeroGivesTheSourceAtHalfResolution)
{
    initBlur(64, 64);  // 32 x 32 buffers
    GL_FBOTexture source, destination;
    source.create(64, 64, 0);
    destination.create(32, 32, 0);

    // Blocks of 2 x 2 source texels of one grey each: halving averages a block into one texel.
    beginFbo(&source);
    glEnable(GL_SCISSOR_TEST);
    for (int by = 0; by < 32; ++by)
        for (int bx = 0; bx < 32; ++bx) {
            glScissor(bx * 2, by * 2, 2, 2);
            const float grey = static_cast<float>((bx * 7 + by * 3) % 32) * 8 / 255.0f;
            glClearColor(grey, grey, grey, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    glDisable(GL_SCISSOR_TEST);
    endFbo(&source);

    applyBlur(&source, 0.0f, &destination);
    const std::vector<int> result = redTexels(destination);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_NEAR(result[y * 32 + x], (x * 7 + y * 3) % 32 * 8, 1) << x << ", " << y;
    shutdownBlur();
}

TEST_F(BlurTest, AWhiteSquareSpreadsAsTheSevenTapWeightsPredict)
{
    const int size = 64;
    initBlur(size * 2, size * 2);  // buffers of the source's size: the copies in and out are 1:1
    GL_FBOTexture source, destination;
    source.create(size, size, 0);
    destination.create(size, size, 0);
    drawSquare(source, 24, 28, 36, 36);
    const std::vector<int> square = redTexels(source);

    for (float strength : {0.5f, 1.0f}) {
        SCOPED_TRACE(strength);
        applyBlur(&source, strength, &destination);
        const std::vector<int> result = redTexels(destination);
        const int passes = static_cast<int>(strength * 20.0 + 1.0);
        const std::vector<int> expected = referenceBlur(square, size, strength, passes);
        const std::vector<int> onePassLess = referenceBlur(square, size, strength, passes - 1);

        int worst = 0, worstAgainstFewer = 0;
        for (std::size_t i = 0; i < result.size(); ++i) {
            worst = std::max(worst, std::abs(result[i] - expected[i]));
            worstAgainstFewer = std::max(worstAgainstFewer, std::abs(result[i] - onePassLess[i]));
        }
        EXPECT_LE(worst, 2);
        EXPECT_GT(worstAgainstFewer, worst) << "the comparison tells one pass from another";
        EXPECT_GT(result[27 * size + 30], 0) << "light has spread below the square's bottom row";
        EXPECT_LT(result[28 * size + 30], 255) << "the square's bottom row has darkened";
    }
    shutdownBlur();
}

TEST_F(BlurTest, ShutdownDeletesEveryObjectTheBlurMade)
{
    // In a fresh context the blur's objects carry the first names; afterwards none of them exists.
    GLTestContext fresh(16, 16);
    ASSERT_TRUE(fresh.valid());
    initBlur(32, 32);
    auto existing = [] {
        int count = 0;
        for (GLuint name = 1; name <= 32; ++name)
            count += glIsFramebuffer(name) + glIsRenderbuffer(name) + glIsTexture(name) + glIsProgram(name) + glIsShader(name);
        return count;
    };
    EXPECT_GE(existing(), 2 + 2 + 2 + 2 + 4);  // framebuffers, renderbuffers, textures, programs, shaders
    shutdownBlur();
    EXPECT_EQ(existing(), 0);
    shutdownBlur();  // a second shut-down finds nothing left to delete
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
