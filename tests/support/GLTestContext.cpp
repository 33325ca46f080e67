// Hidden GL context for tests on SDL's offscreen driver (EGL on Mesa).
#include "tests/support/GLTestContext.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/PlatformWindow.h"

namespace tavoTest {

GLTestContext::GLTestContext(int width, int height) : contextWidth(width), contextHeight(height)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ADD_FAILURE() << "SDL video did not start: " << SDL_GetError();
        return;
    }
    tavoFramework::platform::requestPixelFormat();
    SDL_Window* sdlWindow = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!sdlWindow) {
        ADD_FAILURE() << "no test window: " << SDL_GetError();
        return;
    }
    window = sdlWindow;
    context = SDL_GL_CreateContext(sdlWindow);
    if (!context) {
        ADD_FAILURE() << "no GL context: " << SDL_GetError();
        return;
    }
    SDL_GL_MakeCurrent(sdlWindow, context);
    glViewport(0, 0, width, height);
}

GLTestContext::~GLTestContext()
{
    if (context) {
        SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window), nullptr);
        SDL_GL_DeleteContext(context);
    }
    if (window)
        SDL_DestroyWindow(static_cast<SDL_Window*>(window));
}

std::array<std::uint8_t, 4> readPixel(int x, int y)
{
    std::array<std::uint8_t, 4> pixel{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

std::vector<std::uint8_t> readPixels(int x, int y, int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace tavoTest
