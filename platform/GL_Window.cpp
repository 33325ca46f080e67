// The show's OpenGL window on SDL2: display-mode change or centred window, the context with the
// show's pixel format, and the letterboxed viewport with its perspective projection.
#include "platform/GL_Window.h"

#include "platform/OpenGL.h"
#include "platform/PlatformWindow.h"

namespace tavoFramework {

namespace {

// Fills `mode` with the display mode of exactly width x height at 32 bits per pixel, if the
// primary display offers one.
bool findDisplayMode(int width, int height, SDL_DisplayMode& mode)
{
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i)
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height &&
            SDL_BYTESPERPIXEL(mode.format) == 4)
            return true;
    return false;
}

}  // namespace

GL_Window::Viewport GL_Window::letterbox(int width, int height, float aspect)
{
    const int rows = static_cast<int>(static_cast<float>(width) / aspect);
    return Viewport{0, (height - rows) / 2, width, rows};
}

GL_Window::~GL_Window()
{
    destroy();
}

bool GL_Window::create(const char* title, int width, int height, float aspect, bool fullscreen,
                       WindowProcedure windowProcedure)
{
    if (created)
        destroy();

    // The window starts hidden and windowed; a display-mode change is made on the hidden window
    // and counts only when SDL reports it done.
    SDL_DisplayMode mode{};
    bool modeFound = false;
    int x = 0;
    int y = 0;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullscreen) {
        platform::startVideo();
        modeFound = findDisplayMode(width, height, mode);
        flags |= SDL_WINDOW_BORDERLESS;
    } else {
        x = platform::screenWidth() / 2 - width / 2;
        y = platform::screenHeight() / 2 - height / 2;
    }

    platform::requestPixelFormat();
    window = platform::createWindow("vesk", title, x, y, width, height, flags, windowProcedure);
    SDL_Window* sdlWindow = window ? window->sdl : nullptr;
    glContext = sdlWindow ? SDL_GL_CreateContext(sdlWindow) : nullptr;
    if (!glContext) {
        // Nothing can be drawn without a context; say why and leave nothing half made.
        platform::debugPrintf("GL_Window: no OpenGL window: %s\n", SDL_GetError());
        platform::releaseWindow(window);
        window = nullptr;
        return false;
    }
    SDL_GL_MakeCurrent(sdlWindow, glContext);
    // Synchronised with the display's refresh where the driver allows it.
    SDL_GL_SetSwapInterval(1);

    // Refused (no such mode, or the change failed): the borderless window at the top-left stays.
    const bool modeSet = modeFound && SDL_SetWindowDisplayMode(sdlWindow, &mode) == 0;
    SDL_ShowWindow(sdlWindow);
    fullscreen = modeSet && SDL_SetWindowFullscreen(sdlWindow, SDL_WINDOW_FULLSCREEN) == 0;
    SDL_RaiseWindow(sdlWindow);
    SDL_SetWindowInputFocus(sdlWindow);

    if (fullscreen) {
        // Hide requests until the display counter is below 0, at most 101 of them.
        for (int requests = 1; platform::showCursor(false) >= 0 && requests < 101; ++requests) {
        }
    }

    created = true;
    // libepoxy resolves GL entry points lazily for whichever context is current: nothing to start.

    this->height = height;
    this->windowProcedure = windowProcedure;
    this->width = width;
    this->fullscreen = fullscreen;
    this->title = title;
    this->aspect = aspect;
    const Viewport viewport = letterbox(width, height, aspect);
    viewportWidth = viewport.width;
    viewportHeight = viewport.height;
    viewportX = viewport.x;
    viewportY = viewport.y;

    glViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, static_cast<double>(0.1f), 100.0);
    glViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
}

bool GL_Window::destroy()
{
    if (!created)
        return false;

    SDL_Window* sdlWindow = window ? window->sdl : nullptr;
    // Leaving full screen restores the desktop's display mode; a windowed window is unaffected.
    if (sdlWindow)
        SDL_SetWindowFullscreen(sdlWindow, 0);
    platform::showCursor(true);
    if (glContext) {
        SDL_GL_MakeCurrent(sdlWindow, nullptr);
        SDL_GL_DeleteContext(glContext);
        glContext = nullptr;
    }
    platform::releaseWindow(window);

    created = false;
    height = 0;
    width = 0;
    viewportWidth = 0;
    viewportHeight = 0;
    fullscreen = false;
    windowProcedure = nullptr;
    aspect = 0.0f;
    title.clear();
    return true;
}

}  // namespace tavoFramework
