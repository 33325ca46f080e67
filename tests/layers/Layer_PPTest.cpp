// The post-processor on real GL: a frame is built as the main loop builds it (first use, the
// captured drawing, second use) and the window's pixels are read back.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "gl/Blur.h"
#include "gl/GL_TextureManager.h"
#include "layers/Layer_PP.h"
#include "sync/Sync_ControllerList.h"
#include "tests/layers/ShowLayersSupport.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using namespace tavoTest;

namespace {

using Colour = std::array<int, 3>;

// Fills the rectangle (normalised device coordinates) of the current target with a colour.
void paint(float left, float bottom, float right, float top, const Colour& colour)
{
    glColor3ub(static_cast<GLubyte>(colour[0]), static_cast<GLubyte>(colour[1]), static_cast<GLubyte>(colour[2]));
    glBegin(GL_QUADS);
    glVertex2f(left, bottom);
    glVertex2f(right, bottom);
    glVertex2f(right, top);
    glVertex2f(left, top);
    glEnd();
}

void paintAll(const Colour& colour)
{
    paint(-1, -1, 1, 1, colour);
}

// Four quadrants of different colours, one of them split again.
void pattern()
{
    paint(-1, -1, 0, 0, {255, 0, 0});
    paint(0, -1, 1, 0, {0, 200, 50});
    paint(-1, 0, 0, 1, {30, 60, 90});
    paint(0, 0, 1, 1, {255, 255, 255});
    paint(0.5f, 0.5f, 1, 1, {128, 64, 192});
}

// Left half black, right half white.
void edge()
{
    paint(-1, -1, 0, 1, {0, 0, 0});
    paint(0, -1, 1, 1, {255, 255, 255});
}

}  // namespace

class Layer_PPFrame : public ::testing::Test {
protected:
    static constexpr int width = 64;
    static constexpr int height = 48;

    void SetUp() override
    {
        ASSERT_TRUE(context.valid());
        ASSERT_TRUE(folder.valid());
        initBlur(width, height);
    }
    void TearDown() override { shutdownBlur(); }

    void load()
    {
        ASSERT_TRUE(pp.load(&textures, &controllers));
    }

    void set(const char* controller, float value)
    {
        controllers.findOrCreate((std::string("Postprocessor: ") + controller).c_str())->value = value;
    }

    // One frame: cleared as the main loop clears it, the post-processor's first use, `captured`
    // drawing into whatever is bound, the second use; the window's pixels.
    std::vector<std::uint8_t> frame(const std::function<void()>& captured)
    {
        const Demo_FrameTime time;
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawSlot(pp, time);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        captured();
        drawSlot(pp, time);
        return readPixels(0, 0, width, height);
    }

    // The same drawing straight into the window.
    std::vector<std::uint8_t> direct(const std::function<void()>& drawing)
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        drawing();
        return readPixels(0, 0, width, height);
    }

    static Colour at(const std::vector<std::uint8_t>& picture, int x, int y)
    {
        const std::uint8_t* p = &picture[(y * width + x) * 4];
        return {p[0], p[1], p[2]};
    }

    GLTestContext context{width, height};
    ScratchFolder folder;
    GL_TextureManager textures;
    Sync_ControllerList controllers;
    Layer_PP pp{width, height, 0};
};

TEST_F(Layer_PPFrame, EveryControllerAtZeroShowsTheCaptureAndAMissingDistortionPictureIsNamedOnce)
{
    ShowTraceSettings trace;
    testing::internal::CaptureStderr();
    load();
    const std::vector<std::string> warnings =
        linesStartingWith(testing::internal::GetCapturedStderr(), "WARNING (postprocessor): ");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("data\\textures\\distortion.png"), std::string::npos);

    const std::vector<std::uint8_t> expected = direct(pattern);
    for (int frameNumber = 0; frameNumber < 2; ++frameNumber) {
        const std::vector<std::uint8_t> shown = frame(pattern);
        for (std::size_t i = 0; i < shown.size(); i += 4)
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(shown[i + c], expected[i + c], 1) << "frame " << frameNumber << " pixel " << i / 4;
    }
}

TEST_F(Layer_PPFrame, ControllersGradeAndFadeThePicture)
{
    load();
    const struct {
        const char* name;
        std::vector<std::pair<const char*, float>> settings;
        Colour capture;  // -1: nothing drawn into the capture
        Colour shown;
    } cases[] = {
        {"nothing captured shows the capture's white", {}, {-1, -1, -1}, {255, 255, 255}},
        {"fade to black", {{"fade to black", 1}}, {100, 150, 200}, {0, 0, 0}},
        {"fade to black, then to white", {{"fade to black", 1}, {"fade to white", 1}}, {100, 150, 200}, {255, 255, 255}},
        {"half fade to white", {{"fade to white", 0.5f}}, {0, 0, 0}, {128, 128, 128}},
        {"invert colors over black", {{"invert colors", 1}}, {0, 0, 0}, {255, 255, 255}},
        {"red and blue modulation over white", {{"red color modulation", 1}, {"blue color modulation", 1}}, {255, 255, 255}, {0, 255, 0}},
        {"green modulation", {{"green color modulation", 1}}, {200, 200, 200}, {200, 0, 200}},
        {"desaturation", {{"desaturation", 1}}, {255, 0, 0}, {54, 54, 54}},
        {"saturation doubled", {{"saturation", 0.05f}}, {153, 102, 102}, {193, 91, 91}},
        {"contrast doubled", {{"contrast", 0.1f}}, {153, 102, 128}, {179, 77, 128}},
        {"brightness doubled", {{"brightness", 0.1f}}, {100, 20, 200}, {200, 40, 255}},
        {"darkness doubled", {{"darkness", 0.1f}}, {200, 155, 0}, {145, 55, 0}},
        {"post fadeout", {{"post fadeout", 1}}, {100, 150, 200}, {0, 0, 0}},
        {"post fadeout with base fadein crossfades to the unshaded capture",
         {{"invert colors", 1}, {"post fadeout", 1}, {"base fadein", 1}}, {100, 150, 200}, {100, 150, 200}},
        {"post fadeout with lowpixel post shows the unshaded copy",
         {{"invert colors", 1}, {"post fadeout", 1}, {"lowpixel post", 1}}, {100, 150, 200}, {100, 150, 200}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < controllers.count(); ++i)
            controllers.at(i)->value = 0;
        for (const auto& setting : c.settings)
            set(setting.first, setting.second);
        const std::vector<std::uint8_t> shown = frame([&] {
            if (c.capture[0] >= 0)
                paintAll(c.capture);
        });
        for (int y = 0; y < height; y += 7)
            for (int x = 0; x < width; x += 7)
                for (int channel = 0; channel < 3; ++channel)
                    ASSERT_NEAR(at(shown, x, y)[channel], c.shown[channel], 2) << "pixel " << x << ", " << y;
    }
}

// Blur of any strength goes through the 512 x 512 framebuffers and the half-window passes: the
// sharp edge of the capture comes out soft, the softer the stronger.
TEST_F(Layer_PPFrame, BlurFactorAboveZeroSoftensTheEdge)
{
    load();
    auto softPixels = [this](float blur) {
        set("blur factor", blur);
        const std::vector<std::uint8_t> shown = frame(edge);
        int soft = 0;
        for (int x = 0; x < width; ++x) {
            const int value = at(shown, x, height / 2)[1];
            soft += value > 8 && value < 247;
        }
        return soft;
    };
    const int sharp = softPixels(0.0f);
    const int tiny = softPixels(0.001f);
    const int full = softPixels(1.0f);
    EXPECT_EQ(sharp, 0);
    EXPECT_GT(tiny, 0);
    EXPECT_GT(full, tiny + 8);
}

// The distortion picture's red-green vector (0.5, 0), read from unit 1, moves every lookup a
// quarter of the picture to the right at pixel distortion 0.5.
TEST_F(Layer_PPFrame, PixelDistortionDisplacesLookupsByTheDistortionPicture)
{
    ASSERT_TRUE(writeFlatPicture("data/textures/distortion.png", 4, 4, {192, 128, 0}));
    load();
    set("pixel distortion", 0.5f);
    const std::vector<std::uint8_t> shown = frame([] {
        paint(-1, -1, 0, 1, {255, 0, 0});
        paint(0, -1, 1, 1, {0, 255, 0});
    });
    EXPECT_EQ(at(shown, 10, 20), (Colour{255, 0, 0}));   // reads x 0.41
    EXPECT_EQ(at(shown, 20, 20), (Colour{0, 255, 0}));   // reads x 0.57
    EXPECT_EQ(at(shown, 60, 20), (Colour{0, 255, 0}));   // past the right edge: clamped
}

TEST_F(Layer_PPFrame, SecondUseLeavesDepthTestBlendingAndBothUnitsOff)
{
    ASSERT_TRUE(writeFlatPicture("data/textures/distortion.png", 4, 4, {128, 128, 0}));
    load();
    for (float value : {0.0f, 1.0f}) {
        SCOPED_TRACE(value);
        set("blur factor", value);
        set("lowpixel post", value);
        set("base fadein", value);
        frame([] {
            glEnable(GL_DEPTH_TEST);
            glEnable(GL_BLEND);
            glActiveTexture(GL_TEXTURE1);
            pattern();
        });
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        GLint unit = 0, program = -1, framebuffer = -1;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
        EXPECT_EQ(unit, GL_TEXTURE0);
        EXPECT_EQ(program, 0);
        EXPECT_EQ(framebuffer, 0);
        for (GLenum textureUnit : {GL_TEXTURE0, GL_TEXTURE1}) {
            GLint texture = -1;
            glActiveTexture(textureUnit);
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
            EXPECT_EQ(texture, 0) << "unit " << textureUnit - GL_TEXTURE0;
        }
        glActiveTexture(GL_TEXTURE0);
        std::array<GLint, 4> viewport{};
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, width, height}));
    }
}
