// The stage lights: the music level, the picture on real GL read back pixel by pixel, missing
// flare pictures, and the GL state the layer leaves.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "gl/GL_TextureManager.h"
#include "layers/Layer_Stagelight.h"
#include "sync/Sync_ControllerList.h"
#include "tests/layers/ShowLayersSupport.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using namespace tavoTest;

namespace {

// 32 low bands adding up to `sum`, and high bands that must not count.
std::vector<float> spectrumSumming(float sum)
{
    std::vector<float> spectrum(512, 7.0f);
    for (int band = 0; band < 32; ++band)
        spectrum[band] = sum / 32.0f;
    return spectrum;
}

Demo_FrameTime frame(float delta, const float* spectrum)
{
    Demo_FrameTime record;
    record.time = 12.0f;
    record.delta = delta;
    record.spectrum = spectrum;
    return record;
}

}  // namespace

TEST(Layer_StagelightLevel, FollowsATenthOfTheLowSpectrumAndFallsInSilence)
{
    const std::vector<float> loud = spectrumSumming(10.0f);  // target level 1
    const struct {
        const char* name;
        float delta;
        const float* spectrum;
        float level;
    } steps[] = {
        {"a tenth of the way in 0.01 s", 0.01f, loud.data(), 0.1f},
        {"again a tenth of what is left", 0.01f, loud.data(), 0.19f},
        {"no spectrum counts as silence: half way down in 0.05 s", 0.05f, nullptr, 0.095f},
        {"a frame of 0.5 s reaches the target without overshooting", 0.5f, loud.data(), 1.0f},
        {"and falls to silence without going below 0", 0.3f, nullptr, 0.0f},
    };
    Layer_Stagelight lights;
    EXPECT_EQ(lights.level(), 0.0f);
    for (const auto& step : steps) {
        lights.update(frame(step.delta, step.spectrum));
        EXPECT_NEAR(lights.level(), step.level, 1e-5f) << step.name;
    }
}

class Layer_StagelightPicture : public ::testing::Test {
protected:
    static constexpr int width = 320;
    static constexpr int height = 180;

    void SetUp() override
    {
        ASSERT_TRUE(context.valid());
        ASSERT_TRUE(folder.valid());
    }

    // Loads the layer from the pictures in the scratch folder; the phase stays where it is
    // because "change stagelight" stays 0.
    void load()
    {
        ASSERT_TRUE(lights.load(&textures, &controllers));
        intensity = controllers.findOrCreate("stagelight");
        swing = controllers.findOrCreate("rotate stagelight");
    }

    // One frame at level `level` (a frame of 0.1 s takes the level all the way), read back.
    std::vector<std::uint8_t> draw(float level)
    {
        const std::vector<float> spectrum = spectrumSumming(10.0f * level);
        glClearColor(0.5f, 0.2f, 0.1f, 1);  // the layer clears to black itself
        glClear(GL_COLOR_BUFFER_BIT);
        drawSlot(lights, frame(0.1f, spectrum.data()));
        return readPixels(0, 0, width, height);
    }

    GLTestContext context{width, height};
    ScratchFolder folder;
    GL_TextureManager textures;
    Sync_ControllerList controllers;
    Layer_Stagelight lights;
    Sync_Controller* intensity = nullptr;
    Sync_Controller* swing = nullptr;
};

TEST_F(Layer_StagelightPicture, NoIntensityAndSilenceGiveBlack)
{
    ASSERT_TRUE(writeFlatPicture("flare1.png", 8, 8, {255, 255, 255}));
    ASSERT_TRUE(writeFlatPicture("flare2.png", 8, 8, {255, 255, 255}));
    load();
    swing->value = 1;
    const std::vector<std::uint8_t> picture = draw(0.0f);
    for (std::size_t i = 0; i < picture.size(); i += 4)
        ASSERT_EQ(picture[i] + picture[i + 1] + picture[i + 2], 0) << "pixel " << i / 4;
}

// Only the beams show (the glow picture is black): each corner beam adds (2L, L, 2L).
TEST_F(Layer_StagelightPicture, CornerLightsGlowMagentaInProportionToTheLevel)
{
    ASSERT_TRUE(writeFlatPicture("flare1.png", 8, 8, {255, 255, 255}));
    ASSERT_TRUE(writeFlatPicture("flare2.png", 8, 8, {0, 0, 0}));
    load();
    const std::vector<std::uint8_t> low = draw(0.1f);
    swing->value = 1;  // the corner lights do not swing
    const std::vector<std::uint8_t> high = draw(0.2f);

    int lit = 0;
    for (std::size_t i = 0; i < low.size(); i += 4) {
        const int r = low[i], g = low[i + 1], b = low[i + 2];
        ASSERT_NEAR(r, b, 1) << "pixel " << i / 4;
        ASSERT_NEAR(r, 2 * g, 2) << "pixel " << i / 4;
        for (int c = 0; c < 3; ++c)
            ASSERT_NEAR(high[i + c], 2 * low[i + c], 2) << "pixel " << i / 4 << " channel " << c;
        if (g > 0) {
            ++lit;
            ASSERT_TRUE((g >= 25 && g <= 26) || (g >= 50 && g <= 52)) << "one or two beams of level 0.1: " << g;
        }
    }
    EXPECT_GT(lit, width * height / 20);
}

// Beams drawn through a picture lit only in its middle columns show their axes: straight down
// they are vertical lines, the same columns lit on every row they cross.
TEST_F(Layer_StagelightPicture, RotateZeroHangsTheFiveLightsStraightDown)
{
    std::vector<std::uint8_t> stripe;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            for (int c = 0; c < 3; ++c)
                stripe.push_back(x >= 15 && x <= 16 ? 255 : 0);
    ASSERT_TRUE(writePicture("flare1.png", 32, 16, 3, stripe));
    ASSERT_TRUE(writeFlatPicture("flare2.png", 8, 8, {0, 0, 0}));
    load();
    intensity->value = 1;

    // Rows 30 % and 90 % down the picture: every beam of lights 0 to 4 crosses both.
    auto litColumns = [](const std::vector<std::uint8_t>& picture, int row) {
        std::vector<int> columns;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &picture[(row * width + x) * 4];
            columns.push_back(p[0] + p[1] + p[2]);
        }
        return columns;
    };
    const int upper = height * 7 / 10, lower = height / 10;

    swing->value = 0;
    const std::vector<std::uint8_t> hanging = draw(0.0f);
    const std::vector<int> upperColumns = litColumns(hanging, upper);
    const std::vector<int> lowerColumns = litColumns(hanging, lower);
    for (int x = 0; x < width; ++x)
        ASSERT_NEAR(upperColumns[x], lowerColumns[x], 3) << "column " << x;

    // Lights 1 and 2 hang 0.1 right of their places, 4.5 and 5 units deep: lit on their axes,
    // dark between them.
    auto axis = [](float x, float depth) {
        return static_cast<int>((1.0 + 1.0 / std::tan(22.5 * M_PI / 180.0) / 1.77 * x / depth) * width / 2);
    };
    const int axis1 = axis(-0.4f, 4.5f), axis2 = axis(0.1f, 5.0f);
    EXPECT_GT(upperColumns[axis1], 0);
    EXPECT_GT(upperColumns[axis2], 0);
    EXPECT_EQ(upperColumns[(axis1 + axis2) / 2], 0);

    swing->value = 1;
    const std::vector<std::uint8_t> swinging = draw(0.0f);
    EXPECT_NE(litColumns(swinging, upper), litColumns(swinging, lower));
}

// Without the flare pictures the quads are drawn untextured: the same picture as through plain
// white pictures.
TEST_F(Layer_StagelightPicture, MissingFlaresAreNamedOnceAndDrawnUntextured)
{
    ShowTraceSettings trace;
    testing::internal::CaptureStderr();
    load();
    const std::vector<std::string> warnings =
        linesStartingWith(testing::internal::GetCapturedStderr(), "WARNING (stagelight): ");
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("flare1.png"), std::string::npos);
    EXPECT_NE(warnings[1].find("flare2.png"), std::string::npos);

    intensity->value = 1;
    swing->value = 0.5f;
    const std::vector<std::uint8_t> untextured = draw(0.3f);

    ASSERT_TRUE(writeFlatPicture("flare1.png", 8, 8, {255, 255, 255}));
    ASSERT_TRUE(writeFlatPicture("flare2.png", 8, 8, {255, 255, 255}));
    Layer_Stagelight textured;
    GL_TextureManager otherTextures;
    ASSERT_TRUE(textured.load(&otherTextures, &controllers));
    const std::vector<float> spectrum = spectrumSumming(3.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawSlot(textured, frame(0.1f, spectrum.data()));
    const std::vector<std::uint8_t> white = readPixels(0, 0, width, height);

    int lit = 0;
    for (std::size_t i = 0; i < white.size(); ++i) {
        ASSERT_NEAR(untextured[i], white[i], 1) << "byte " << i;
        lit += i % 4 != 3 && white[i] > 0;
    }
    EXPECT_GT(lit, 0);
}

TEST_F(Layer_StagelightPicture, LeavesBlendingAndDepthWritesOffUnitZeroEmptyAndItsProjection)
{
    for (bool withPictures : {false, true}) {
        SCOPED_TRACE(withPictures ? "with pictures" : "without pictures");
        if (withPictures) {
            ASSERT_TRUE(writeFlatPicture("flare1.png", 8, 8, {255, 255, 255}));
            ASSERT_TRUE(writeFlatPicture("flare2.png", 8, 8, {255, 255, 255}));
        }
        GL_TextureManager ownTextures;
        Layer_Stagelight layer;
        ASSERT_TRUE(layer.load(&ownTextures, &controllers));
        glActiveTexture(GL_TEXTURE1);
        glDepthMask(GL_TRUE);
        drawSlot(layer, frame(0.02f, nullptr));

        GLboolean depthWrites = GL_TRUE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_EQ(depthWrites, GL_FALSE);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        std::array<GLfloat, 4> clear{};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
        EXPECT_EQ(clear, (std::array<GLfloat, 4>{0, 0, 0, 1}));
        GLint unit = 0, texture = -1;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        EXPECT_EQ(unit, GL_TEXTURE0);
        EXPECT_EQ(texture, 0);

        // gluPerspective(45, 1.77, 0.1, 100)
        std::array<GLfloat, 16> projection{};
        glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
        const float f = static_cast<float>(1.0 / std::tan(22.5 * M_PI / 180.0));
        EXPECT_NEAR(projection[0], f / 1.77f, 1e-5f);
        EXPECT_NEAR(projection[5], f, 1e-5f);
        EXPECT_NEAR(projection[10], -100.1f / 99.9f, 1e-5f);
        EXPECT_NEAR(projection[11], -1.0f, 1e-6f);
        EXPECT_NEAR(projection[14], -2.0f * 100.0f * 0.1f / 99.9f, 1e-5f);
    }
}
