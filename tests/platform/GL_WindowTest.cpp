// The show window on real OpenGL (SDL's offscreen driver): the letterboxed viewport and the
// projection for every launcher resolution, the refused and accepted display-mode change, and
// the window's life cycle.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/GL_Window.h"
#include "platform/OpenGL.h"
#include "platform/PlatformWindow.h"
#include "tests/support/GLTestContext.h"

namespace {

using tavoFramework::GL_Window;
using namespace tavoFramework;

LRESULT testProcedure(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return platform::defaultWindowProcedure(window, message, wParam, lParam);
}

// The cursor display counter, left unchanged.
int cursorCounter()
{
    platform::showCursor(true);
    return platform::showCursor(false);
}

const struct {
    int width, height;
    GL_Window::Viewport viewport;
} launcherResolutions[] = {
    {640, 480, {0, 59, 640, 361}},        {800, 600, {0, 74, 800, 451}},
    {1280, 1024, {0, 150, 1280, 723}},    {1280, 720, {0, -1, 1280, 723}},
    {1680, 1050, {0, 50, 1680, 949}},     {1920, 1080, {0, -2, 1920, 1084}},
    {1920, 1200, {0, 58, 1920, 1084}},
};

TEST(GL_Window, LetterboxOfEveryLauncherResolution)
{
    for (const auto& c : launcherResolutions) {
        const GL_Window::Viewport v = GL_Window::letterbox(c.width, c.height, 1.77f);
        EXPECT_EQ(v.x, c.viewport.x) << c.width << "x" << c.height;
        EXPECT_EQ(v.y, c.viewport.y) << c.width << "x" << c.height;
        EXPECT_EQ(v.width, c.viewport.width) << c.width << "x" << c.height;
        EXPECT_EQ(v.height, c.viewport.height) << c.width << "x" << c.height;
    }
}

// For each resolution: GL reports the viewport, the perspective projection and a current identity
// modelview, and a quad over the whole viewport colours exactly the viewport's rows.
TEST(GL_Window, ViewportAndProjectionOnRealGL)
{
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    const double zNear = 0.1f, zFar = 100.0;
    for (const auto& c : launcherResolutions) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        GL_Window window;
        ASSERT_TRUE(window.create("oru", c.width, c.height, 1.77f, false, testProcedure));
        EXPECT_FALSE(window.fullscreen);
        EXPECT_EQ(window.viewportY, c.viewport.y);
        EXPECT_EQ(window.viewportHeight, c.viewport.height);

        int clientWidth = 0, clientHeight = 0;
        platform::clientSize(window.window, clientWidth, clientHeight);
        EXPECT_EQ(clientWidth, c.width);
        EXPECT_EQ(clientHeight, c.height);

        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], c.viewport.x);
        EXPECT_EQ(viewport[1], c.viewport.y);
        EXPECT_EQ(viewport[2], c.viewport.width);
        EXPECT_EQ(viewport[3], c.viewport.height);

        GLfloat projection[16] = {};
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        EXPECT_NEAR(projection[0], f / 1.77f, 1e-5);
        EXPECT_NEAR(projection[5], f, 1e-5);
        EXPECT_NEAR(projection[10], (zFar + zNear) / (zNear - zFar), 1e-5);
        EXPECT_NEAR(projection[11], -1.0, 1e-6);
        EXPECT_NEAR(projection[14], 2.0 * zFar * zNear / (zNear - zFar), 1e-5);
        EXPECT_EQ(projection[15], 0.0f);

        GLint matrixMode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        EXPECT_EQ(matrixMode, GL_MODELVIEW);
        GLfloat modelview[16] = {};
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f) << i;

        // Clip-space quad over the whole viewport, drawn without the projection.
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glColor3f(1, 1, 1);
        glRectf(-1, -1, 1, 1);
        const std::vector<std::uint8_t> column = tavoTest::readPixels(c.width / 2, 0, 1, c.height);
        const int top = c.viewport.y + c.viewport.height;
        for (int row = 0; row < c.height; ++row) {
            const bool inside = row >= c.viewport.y && row < top;
            ASSERT_EQ(column[row * 4], inside ? 255 : 0) << "row " << row;
        }
        EXPECT_TRUE(window.destroy());
    }
}

// The offscreen display lists no usable display mode, so every change is refused. (The accepted
// change is tested under Xvfb, whose screen size is its one mode.)
TEST(GL_Window, RefusedDisplayModeGivesBorderlessWindowAtTopLeft)
{
    const int cursorBefore = cursorCounter();
    GL_Window window;
    ASSERT_TRUE(window.create("oru", 640, 480, 1.77f, true, testProcedure));
    EXPECT_FALSE(window.fullscreen);
    EXPECT_EQ(cursorCounter(), cursorBefore) << "the cursor stays visible";

    SDL_Window* sdlWindow = window.window->sdl;
    EXPECT_TRUE(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_BORDERLESS);
    EXPECT_FALSE(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_FULLSCREEN);
    int x = -1, y = -1, width = 0, height = 0;
    SDL_GetWindowPosition(sdlWindow, &x, &y);
    SDL_GetWindowSize(sdlWindow, &width, &height);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);

    EXPECT_TRUE(window.destroy());
    EXPECT_EQ(cursorCounter(), cursorBefore + 1) << "destroy shows the cursor once";
    platform::showCursor(false);
}

TEST(GL_Window, DestroyOnlyAfterCreate)
{
    GL_Window window;
    EXPECT_FALSE(window.destroy()) << "nothing created";
    EXPECT_FALSE(window.created);

    ASSERT_TRUE(window.create("oru", 320, 240, 1.77f, false, testProcedure));
    EXPECT_TRUE(window.created);
    EXPECT_EQ(window.title, "oru");
    EXPECT_EQ(window.aspect, 1.77f);
    EXPECT_TRUE(window.destroy());
    EXPECT_FALSE(window.destroy()) << "second destroy";

    EXPECT_FALSE(window.created);
    EXPECT_EQ(window.width, 0);
    EXPECT_EQ(window.height, 0);
    EXPECT_EQ(window.viewportWidth, 0);
    EXPECT_EQ(window.viewportHeight, 0);
    EXPECT_EQ(window.aspect, 0.0f);
    EXPECT_EQ(window.windowProcedure, nullptr);
    EXPECT_TRUE(window.title.empty());
    EXPECT_FALSE(platform::isWindowAlive(window.window));
}

// The show closes its window through WM_CLOSE and releases GL objects afterwards: the context
// must still work then, and destroy must still release everything.
TEST(GL_Window, ContextOutlivesCloseUntilDestroy)
{
    GL_Window window;
    ASSERT_TRUE(window.create("oru", 320, 240, 1.77f, false, testProcedure));
    platform::sendMessage(window.window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(platform::isWindowAlive(window.window));

    GLuint texture = 0;
    glGenTextures(1, &texture);
    EXPECT_NE(texture, 0u);
    glDeleteTextures(1, &texture);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    EXPECT_TRUE(window.destroy());
    EXPECT_EQ(window.window->sdl, nullptr) << "SDL window released";
}

TEST(GL_Window, CreateOnOpenWindowClosesItFirst)
{
    GL_Window window;
    ASSERT_TRUE(window.create("first", 320, 240, 1.77f, false, testProcedure));
    const WindowHandle first = window.window;
    ASSERT_TRUE(window.create("second", 400, 300, 1.77f, false, testProcedure));
    EXPECT_FALSE(platform::isWindowAlive(first));
    EXPECT_EQ(first->sdl, nullptr);
    EXPECT_TRUE(platform::isWindowAlive(window.window));
    EXPECT_EQ(window.title, "second");
    EXPECT_TRUE(window.destroy());
}

}  // namespace
