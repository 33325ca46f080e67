// The one window the show draws in: full screen at the chosen resolution or a centred window of
// that client size, with an OpenGL context current on the main thread and a letterboxed viewport
// of fixed aspect ratio under a 45-degree perspective projection.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace tavoFramework {

class GL_Window {
public:
    // A picture rectangle in window pixels, from the bottom-left corner as GL counts.
    struct Viewport {
        int x, y, width, height;
    };

    // The viewport for a client area of width x height pixels and a picture of the given
    // width-to-height ratio: the full width, width / aspect rows (truncated), centred vertically.
    // y is negative when the window is wider than the picture; rows then fall off top and bottom.
    static Viewport letterbox(int width, int height, float aspect);

    GL_Window() = default;
    virtual ~GL_Window();
    GL_Window(const GL_Window&) = delete;
    GL_Window& operator=(const GL_Window&) = delete;

    // Opens the window (closing an open one first) on the primary screen and makes its context
    // current; sets the viewport and projection and leaves the modelview matrix current.
    // fullscreen asks for a display-mode change to exactly width x height; when the display
    // refuses it, the window is a borderless one of that size at the top-left and `fullscreen`
    // ends up false. windowProcedure receives the window's messages. True when the window and
    // its context exist; false (with a line on the debugger output, nothing left open) when the
    // window system could not make them.
    bool create(const char* title, int width, int height, float aspect, bool fullscreen,
                WindowProcedure windowProcedure);

    // Restores the display mode, shows the cursor once, releases the context and the window.
    // Also after the window was destroyed by WM_CLOSE. False when nothing was created.
    bool destroy();

    bool created = false;        // between a create and the next destroy
    int height = 0;              // requested client height, pixels
    int width = 0;               // requested client width, pixels
    int viewportWidth = 0;       // always width
    int viewportHeight = 0;      // width / aspect, truncated
    int viewportX = 0;           // always 0
    int viewportY = 0;           // (height - viewportHeight) / 2, truncated towards zero
    float aspect = 0.0f;         // width-to-height ratio of the picture
    bool fullscreen = false;     // whether the display mode was actually changed
    WindowProcedure windowProcedure = nullptr;
    WindowHandle window = nullptr;  // the created window; stays a valid handle after destroy
    void* glContext = nullptr;      // the window's OpenGL context, current from create to destroy
    std::string title;
};

}  // namespace tavoFramework
