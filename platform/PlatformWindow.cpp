// SDL windows behind window handles, and the one function that turns SDL events into window
// messages and key state.
#include "platform/PlatformWindow.h"

#include <SDL_syswm.h>    // the X11 window behind an SDL window
#include <X11/Xutil.h>    // XSetClassHint

#include <memory>
#include <vector>

namespace tavoFramework {
namespace platform {

namespace {

// Never destroyed: handles stay valid until the process is gone, also for the destructors of
// static objects (a static GL_Window still open at exit releases its window then).
std::vector<std::unique_ptr<PlatformWindow>>& windows()
{
    static auto* all = new std::vector<std::unique_ptr<PlatformWindow>>;
    return *all;
}

WindowHandle windowFromId(Uint32 id)
{
    for (auto& window : windows())
        if (window->sdl && SDL_GetWindowID(window->sdl) == id)
            return window.get();
    return nullptr;
}

// Key state by virtual-key code: down now, and pressed since the last asyncKeyState query.
struct KeyState {
    bool down[256] = {};
    bool pressed[256] = {};
} keys;

int cursorCounter = 0;

// Gives an X11 window its class (both name and class of WM_CLASS), before it is first shown.
// SDL takes one class for every window of the process; other video drivers have no classes.
void setWindowClass(SDL_Window* window, const char* className)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    XClassHint hint{const_cast<char*>(className), const_cast<char*>(className)};
    XSetClassHint(info.info.x11.display, info.info.x11.window, &hint);
}

int virtualKeyFromSdl(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_LSHIFT: return VK_LSHIFT;
    case SDLK_RSHIFT: return VK_RSHIFT;
    case SDLK_LCTRL: return VK_LCONTROL;
    case SDLK_RCTRL: return VK_RCONTROL;
    case SDLK_LALT: return VK_LMENU;
    case SDLK_RALT: return VK_RMENU;
    default: return 0;
    }
}

// The generic key a message carries for a sided modifier (VK_LSHIFT gives VK_SHIFT).
int genericVirtualKey(int virtualKey)
{
    switch (virtualKey) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return virtualKey;
    }
}

void setKey(int virtualKey, bool down)
{
    const int generic = genericVirtualKey(virtualKey);
    for (int key : {virtualKey, generic}) {
        if (down && !keys.down[key])
            keys.pressed[key] = true;
        keys.down[key] = down;
    }
    // A generic modifier stays down while either side is held.
    if (generic != virtualKey && !down) {
        const int left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
        keys.down[generic] = keys.down[left] || keys.down[left + 1];
    }
}

// Modifier and button flags of mouse messages.
WPARAM mouseKeyFlags()
{
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    WPARAM flags = 0;
    if (buttons & SDL_BUTTON_LMASK)
        flags |= 0x0001;
    if (buttons & SDL_BUTTON_RMASK)
        flags |= 0x0002;
    if (keys.down[VK_SHIFT])
        flags |= 0x0004;
    if (keys.down[VK_CONTROL])
        flags |= 0x0008;
    if (buttons & SDL_BUTTON_MMASK)
        flags |= 0x0010;
    return flags;
}

void translateEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        // Only a signal gets here (closing the last window does not quit by itself): close all.
        for (auto& window : windows())
            if (window->alive)
                postMessage(window.get(), WM_CLOSE, 0, 0);
        return;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            if (WindowHandle window = windowFromId(event.window.windowID))
                postMessage(window, WM_CLOSE, 0, 0);
        return;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const int virtualKey = virtualKeyFromSdl(event.key.keysym.sym);
        if (virtualKey == 0)
            return;
        const bool down = event.type == SDL_KEYDOWN;
        const bool wasDown = keys.down[virtualKey];
        setKey(virtualKey, down);
        // lParam: repeat count 1, bit 30 the previous state, bit 31 set on release.
        const LPARAM lParam = 1 | (wasDown ? (1L << 30) : 0) | (down ? 0 : (1L << 31));
        if (WindowHandle window = windowFromId(event.key.windowID))
            postMessage(window, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(genericVirtualKey(virtualKey)), lParam);
        return;
    }
    case SDL_MOUSEMOTION:
        if (WindowHandle window = windowFromId(event.motion.windowID))
            postMessage(window, WM_MOUSEMOVE, mouseKeyFlags(), makePointParam(event.motion.x, event.motion.y));
        return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        UINT message = 0;
        switch (event.button.button) {
        case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
        case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
        case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
        default: return;
        }
        const int virtualKey = event.button.button == SDL_BUTTON_LEFT ? VK_LBUTTON
                               : event.button.button == SDL_BUTTON_RIGHT ? VK_RBUTTON : VK_MBUTTON;
        setKey(virtualKey, down);
        if (WindowHandle window = windowFromId(event.button.windowID))
            postMessage(window, message, mouseKeyFlags(), makePointParam(event.button.x, event.button.y));
        return;
    }
    case SDL_MOUSEWHEEL:
        if (WindowHandle window = windowFromId(event.wheel.windowID)) {
            int x = 0, y = 0;
            SDL_GetGlobalMouseState(&x, &y);
            const WPARAM delta = static_cast<std::uint16_t>(static_cast<std::int16_t>(event.wheel.y * 120));
            postMessage(window, WM_MOUSEWHEEL, (delta << 16) | mouseKeyFlags(), makePointParam(x, y));
        }
        return;
    default:
        return;
    }
}

}  // namespace

// The pixel format of every show window: RGBA 8-8-8-8, depth 24, no stencil, double-buffered,
// on a compatibility context (the show uses the fixed-function pipeline).
void requestPixelFormat()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

bool startVideo()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
}

WindowHandle createWindow(const char* className, const char* title, int x, int y, int width, int height,
                          Uint32 sdlFlags, WindowProcedure procedure)
{
    if (!startVideo())
        return nullptr;
    auto window = std::make_unique<PlatformWindow>();
    window->sdl = SDL_CreateWindow(title, x, y, width, height, sdlFlags);
    if (!window->sdl)
        return nullptr;
    setWindowClass(window->sdl, className);
    window->procedure = procedure;
    window->className = className;
    window->alive = true;
    windows().push_back(std::move(window));
    return windows().back().get();
}

void destroyWindow(WindowHandle window)
{
    if (!window || !window->alive)
        return;
    window->alive = false;
    if (window->procedure)
        window->procedure(window, WM_DESTROY, 0, 0);
    // The SDL window itself stays (hidden) until releaseWindow: a GL context made on it must stay
    // usable until its owner releases it, as the show releases its GL objects after WM_CLOSE.
    if (window->sdl)
        SDL_HideWindow(window->sdl);
}

void releaseWindow(WindowHandle window)
{
    if (!window)
        return;
    destroyWindow(window);
    if (window->sdl) {
        SDL_DestroyWindow(window->sdl);
        window->sdl = nullptr;
    }
}

void pumpEvents()
{
    if (!SDL_WasInit(SDL_INIT_EVENTS))
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        Uint32 windowId = 0;
        switch (event.type) {
        case SDL_WINDOWEVENT: windowId = event.window.windowID; break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: windowId = event.key.windowID; break;
        case SDL_TEXTINPUT: windowId = event.text.windowID; break;
        case SDL_MOUSEMOTION: windowId = event.motion.windowID; break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: windowId = event.button.windowID; break;
        case SDL_MOUSEWHEEL: windowId = event.wheel.windowID; break;
        default: break;
        }
        if (WindowHandle window = windowId ? windowFromId(windowId) : nullptr)
            if (window->alive && window->eventHook)
                window->eventHook(event);
        translateEvent(event);
    }
}

void swapBuffers(WindowHandle window)
{
    if (window && window->sdl)
        SDL_GL_SwapWindow(window->sdl);
}

void setWindowTitle(WindowHandle window, const char* title)
{
    if (window && window->sdl)
        SDL_SetWindowTitle(window->sdl, title);
}

void clientSize(WindowHandle window, int& width, int& height)
{
    width = height = 0;
    if (window && window->sdl)
        SDL_GL_GetDrawableSize(window->sdl, &width, &height);
}

bool isWindowAlive(WindowHandle window)
{
    return window && window->alive;
}

std::int16_t asyncKeyState(int virtualKey)
{
    if (virtualKey <= 0 || virtualKey > 255)
        return 0;
    pumpEvents();
    std::int16_t state = 0;
    if (keys.down[virtualKey])
        state |= static_cast<std::int16_t>(0x8000);
    if (keys.pressed[virtualKey])
        state |= 0x0001;
    keys.pressed[virtualKey] = false;
    return state;
}

int showCursor(bool show)
{
    cursorCounter += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCounter;
}

void setCursorPosition(int x, int y)
{
    if (startVideo())
        SDL_WarpMouseGlobal(x, y);
}

void cursorPosition(int& x, int& y)
{
    x = y = 0;
    if (startVideo())
        SDL_GetGlobalMouseState(&x, &y);
}

int screenWidth()
{
    SDL_DisplayMode mode{};
    return startVideo() && SDL_GetCurrentDisplayMode(0, &mode) == 0 ? mode.w : 0;
}

int screenHeight()
{
    SDL_DisplayMode mode{};
    return startVideo() && SDL_GetCurrentDisplayMode(0, &mode) == 0 ? mode.h : 0;
}

}  // namespace platform
}  // namespace tavoFramework
