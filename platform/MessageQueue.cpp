// The thread's message queue: posted messages wait in arrival order, one is taken per peek, and
// dispatching hands it to its window's procedure.
#include <deque>

#include "platform/PlatformWindow.h"

namespace tavoFramework {
namespace platform {

namespace {
// Never destroyed, so messages may still be posted from destructors of static objects at exit.
std::deque<Message>& queue()
{
    static auto* messages = new std::deque<Message>;
    return *messages;
}
}  // namespace

bool peekMessage(Message& out)
{
    pumpEvents();
    if (queue().empty())
        return false;
    out = queue().front();
    queue().pop_front();
    return true;
}

void postMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam)
{
    queue().push_back(Message{window, message, wParam, lParam});
}

void postQuitMessage(int exitCode)
{
    queue().push_back(Message{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

LRESULT sendMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window || !window->alive || !window->procedure)
        return 0;
    return window->procedure(window, message, wParam, lParam);
}

void translateMessage(const Message& message)
{
    // Key messages carry virtual keys already; nothing produces character messages here.
    (void)message;
}

LRESULT dispatchMessage(const Message& message)
{
    return sendMessage(message.window, message.message, message.wParam, message.lParam);
}

LRESULT defaultWindowProcedure(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    if (message == WM_CLOSE)
        destroyWindow(window);
    return 0;
}

}  // namespace platform
}  // namespace tavoFramework
