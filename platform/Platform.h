// The platform layer: the small window-message, input, time and file interface the rest of the
// framework is written against. Messages, keys and their numbers follow the classic desktop
// conventions the framework was designed around; SDL2 and POSIX stay behind this header.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tavoFramework {

struct PlatformWindow;                  // defined by the platform layer
using WindowHandle = PlatformWindow*;   // none is nullptr

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window procedure receives every message dispatched or sent to its window.
using WindowProcedure = LRESULT (*)(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam);

// Window messages, numbered as the desktop conventions number them.
enum : UINT {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_SIZE = 0x0005,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_COMMAND = 0x0111,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MOUSEWHEEL = 0x020A,
};

// Notification code of a button click in the high word of WM_COMMAND's wParam.
enum : UINT { BN_CLICKED = 0 };

// Virtual-key codes. Letters and digits are their upper-case ASCII codes ('A' is 0x41).
enum : int {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_F7 = 0x76,
    VK_F8 = 0x77,
    VK_F9 = 0x78,
    VK_F10 = 0x79,
    VK_F11 = 0x7A,
    VK_F12 = 0x7B,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2,
    VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4,
    VK_RMENU = 0xA5,
};

// Packing of mouse coordinates into lParam: x in the low 16 bits, y in the high 16 bits, each a
// signed 16-bit client coordinate.
inline LPARAM makePointParam(int x, int y)
{
    return static_cast<LPARAM>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                               static_cast<std::uint16_t>(x));
}
inline int pointParamX(LPARAM lParam) { return static_cast<std::int16_t>(lParam & 0xFFFF); }
inline int pointParamY(LPARAM lParam) { return static_cast<std::int16_t>((lParam >> 16) & 0xFFFF); }

namespace platform {

// ---- Window messages -------------------------------------------------------------------------

struct Message {
    WindowHandle window = nullptr;  // none for thread messages such as WM_QUIT
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Takes the next message of this thread's queue, removing it, without waiting. System events are
// turned into messages first. Returns false when the queue is empty.
bool peekMessage(Message& out);

// Appends a message for a window to the queue; it is delivered when taken and dispatched.
void postMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam);

// Appends WM_QUIT with the exit code in wParam. Safe to call without any window.
void postQuitMessage(int exitCode);

// Calls the window's procedure at once and returns its result; 0 for a window that is gone.
LRESULT sendMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam);

// Character translation step of the classic loop; key messages need nothing further here.
void translateMessage(const Message& message);

// Hands a taken message to its window's procedure; 0 when it has no live window.
LRESULT dispatchMessage(const Message& message);

// Default handling: WM_CLOSE destroys the window (a later WM_DESTROY reaches its procedure);
// everything else returns 0.
LRESULT defaultWindowProcedure(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Windows shared by the demo window and the launcher ----------------------------------------

void swapBuffers(WindowHandle window);
void setWindowTitle(WindowHandle window, const char* title);
// Size of the client area in pixels (the right and bottom of the client rectangle).
void clientSize(WindowHandle window, int& width, int& height);
bool isWindowAlive(WindowHandle window);

// ---- Keyboard and cursor -----------------------------------------------------------------------

// Asynchronous key state of a virtual key: bit 0x8000 when the key is down now, bit 0x0001 when it
// was pressed since the previous query of the same key. Works while nothing takes messages.
std::int16_t asyncKeyState(int virtualKey);

// Cursor display counter: each hide request lowers it, each show request raises it; the cursor is
// visible while it is 0 or above. Returns the new counter.
int showCursor(bool show);
void setCursorPosition(int x, int y);  // screen pixels
void cursorPosition(int& x, int& y);   // screen pixels

// Size of the primary screen in pixels.
int screenWidth();
int screenHeight();

// ---- Time ----------------------------------------------------------------------------------------

void sleepMs(unsigned milliseconds);
std::int64_t performanceCounter();
std::int64_t performanceFrequency();  // counter ticks per second

struct SystemTime {
    int year, month, dayOfWeek, day, hour, minute, second, milliseconds;  // month 1 to 12, Sunday 0
};
SystemTime systemTimeUtc();

// ---- Files ---------------------------------------------------------------------------------------

// Turns a file name written in the system's own style ("data\textures\loading.png",
// "editor//button-play.png") into a path that opens here: backslashes become '/', and runs of
// separators collapse to one. Every file the system opens goes through this.
std::string filePath(const char* name);

// fopen of filePath(name).
std::FILE* openFile(const char* name, const char* mode);

bool deleteFile(const char* name);

// Replaces the file `name` with `size` bytes so that it never holds a half-written content: the
// bytes go to a temporary file in the same folder, are flushed to disk, and that file is renamed
// over `name`. False when any step fails; the old file (if any) is then untouched.
bool replaceFile(const char* name, const void* data, std::size_t size);

bool setWorkingDirectory(const char* name);
std::string workingDirectory();

// ---- OpenGL context ------------------------------------------------------------------------------

// True while an OpenGL context is current on this thread. GL calls are only valid then: code that
// may run after the window is gone (destructors of static objects at process exit) checks it.
bool glContextCurrent();

// ---- Fonts --------------------------------------------------------------------------------------

// The installed face that best matches `family` ("DejaVu Sans"), as fontconfig chooses it (a
// similar face when that family is missing): its file, its index inside the file and its family
// name. The file is empty when there is no face at all.
struct FontFace {
    std::string file;
    int index = 0;
    std::string family;
};
FontFace findFontFace(const char* family);

// ---- Debugger output -----------------------------------------------------------------------------

// Standard error, unbuffered, in the order written.
void debugOutput(const char* text);
void debugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace platform
}  // namespace tavoFramework
