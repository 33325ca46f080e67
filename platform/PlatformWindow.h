// Windows of the platform layer as the rest of platform/ sees them: an SDL window with its
// procedure and class name. Handles stay valid for the whole process; a destroyed window only
// stops being alive, so messages still queued for it are dropped safely.
#pragma once

#include <SDL.h>

#include <functional>
#include <string>

#include "platform/Platform.h"

namespace tavoFramework {

struct PlatformWindow {
    SDL_Window* sdl = nullptr;
    WindowProcedure procedure = nullptr;
    std::string className;
    bool alive = false;
    // Sees every SDL event of this window before it becomes a message (the launcher's GUI uses it).
    std::function<void(const SDL_Event&)> eventHook;
};

namespace platform {

// Asks SDL for the show's pixel format on the next GL context: RGBA 8-8-8-8, depth 24, no
// stencil, double-buffered, compatibility profile. Tests make their contexts with it too.
void requestPixelFormat();

// Starts SDL's video and events once per process; false when there is no display.
bool startVideo();

// Creates an SDL window (position and size in screen pixels, the size being the client area) and
// registers it under `className`, which also becomes the X11 class of the window.
WindowHandle createWindow(const char* className, const char* title, int x, int y, int width, int height,
                          Uint32 sdlFlags, WindowProcedure procedure);

// Sends WM_DESTROY to the procedure and hides the window; it no longer receives messages. Nothing
// for a dead window. The SDL window (and a GL context on it) stays usable until releaseWindow.
void destroyWindow(WindowHandle window);

// destroyWindow if still alive, then destroys the SDL window.
void releaseWindow(WindowHandle window);

// Turns pending SDL events into queued messages and key state.
void pumpEvents();

}  // namespace platform
}  // namespace tavoFramework
