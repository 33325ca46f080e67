// Window messages: the queue, dispatch to the window's procedure, the default handling of
// WM_CLOSE, and SDL events turned into messages and key state (synthetic SDL events on the
// offscreen driver).
#include <gtest/gtest.h>

#include <vector>

#include "platform/PlatformWindow.h"

namespace {

using namespace tavoFramework;

struct Received {
    WindowHandle window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> received;

LRESULT recordingProcedure(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back({window, message, wParam, lParam});
    if (message == WM_COMMAND)
        return 7;
    return platform::defaultWindowProcedure(window, message, wParam, lParam);
}

// Everything queued so far, taken one peek at a time.
std::vector<platform::Message> takeAll()
{
    std::vector<platform::Message> taken;
    platform::Message message;
    while (platform::peekMessage(message))
        taken.push_back(message);
    return taken;
}

class MessageQueueTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = platform::createWindow("test", "queue", 0, 0, 64, 64, SDL_WINDOW_HIDDEN, recordingProcedure);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        takeAll();
        received.clear();
    }
    void TearDown() override
    {
        platform::releaseWindow(window);
        takeAll();
    }
    Uint32 windowId() const { return SDL_GetWindowID(window->sdl); }
    WindowHandle window = nullptr;
};

TEST_F(MessageQueueTest, OneMessagePerPeekInArrivalOrder)
{
    platform::postMessage(window, WM_KEYDOWN, VK_F10, 1);
    platform::postQuitMessage(3);
    platform::postMessage(window, WM_COMMAND, 5, 6);

    platform::Message message;
    ASSERT_TRUE(platform::peekMessage(message));
    EXPECT_EQ(message.window, window);
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(VK_F10));
    EXPECT_EQ(message.lParam, 1);
    ASSERT_TRUE(platform::peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.window, nullptr);
    EXPECT_EQ(message.wParam, 3u) << "exit code";
    ASSERT_TRUE(platform::peekMessage(message));
    EXPECT_EQ(message.message, WM_COMMAND);
    EXPECT_FALSE(platform::peekMessage(message)) << "empty queue, no waiting";
    EXPECT_TRUE(received.empty()) << "peeking dispatches nothing";
}

TEST_F(MessageQueueTest, DispatchAndSendReachTheProcedure)
{
    platform::postMessage(window, WM_COMMAND, 1002, 9);
    platform::Message message;
    ASSERT_TRUE(platform::peekMessage(message));
    EXPECT_EQ(platform::dispatchMessage(message), 7) << "the procedure's result";
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].window, window);
    EXPECT_EQ(received[0].message, WM_COMMAND);
    EXPECT_EQ(received[0].wParam, 1002u);
    EXPECT_EQ(received[0].lParam, 9);

    EXPECT_EQ(platform::sendMessage(window, WM_COMMAND, 1, 2), 7);
    EXPECT_EQ(received.size(), 2u) << "sent at once, not queued";
    EXPECT_FALSE(platform::peekMessage(message));

    // A quit message belongs to no window: dispatching it reaches no procedure.
    platform::postQuitMessage(0);
    ASSERT_TRUE(platform::peekMessage(message));
    EXPECT_EQ(platform::dispatchMessage(message), 0);
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(MessageQueueTest, CloseThroughDefaultProcedureDestroysTheWindow)
{
    platform::postMessage(window, WM_CLOSE, 0, 0);
    platform::postMessage(window, WM_KEYDOWN, VK_ESCAPE, 1);
    platform::Message message;
    ASSERT_TRUE(platform::peekMessage(message));
    platform::dispatchMessage(message);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, WM_CLOSE);
    EXPECT_EQ(received[1].message, WM_DESTROY);
    EXPECT_FALSE(platform::isWindowAlive(window));
    EXPECT_FALSE(SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) << "hidden, not yet released";

    // The message still queued for it is taken but reaches nobody.
    ASSERT_TRUE(platform::peekMessage(message));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(platform::dispatchMessage(message), 0);
    EXPECT_EQ(platform::sendMessage(window, WM_COMMAND, 0, 0), 0);
    EXPECT_EQ(received.size(), 2u);
}

// SDL events pushed for the window come out of the queue as the messages a desktop window gets.
TEST_F(MessageQueueTest, SdlEventsBecomeMessages)
{
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = windowId();
    close.window.event = SDL_WINDOWEVENT_CLOSE;

    auto key = [&](Uint32 type, SDL_Keycode sym) {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = windowId();
        event.key.keysym.sym = sym;
        return event;
    };
    auto button = [&](Uint32 type, Uint8 which, int x, int y) {
        SDL_Event event{};
        event.type = type;
        event.button.windowID = windowId();
        event.button.button = which;
        event.button.x = x;
        event.button.y = y;
        return event;
    };
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = windowId();
    motion.motion.x = 300;
    motion.motion.y = 2;

    const struct {
        SDL_Event event;
        UINT message;
        WPARAM wParam;  // checked for key messages only
        LPARAM lParam;
    } cases[] = {
        {close, WM_CLOSE, 0, 0},
        {key(SDL_KEYDOWN, SDLK_ESCAPE), WM_KEYDOWN, VK_ESCAPE, 1},
        {key(SDL_KEYDOWN, SDLK_ESCAPE), WM_KEYDOWN, VK_ESCAPE, 1 | (1L << 30)},  // repeat
        {key(SDL_KEYUP, SDLK_ESCAPE), WM_KEYUP, VK_ESCAPE, 1 | (1L << 30) | (1L << 31)},
        {key(SDL_KEYDOWN, SDLK_RETURN), WM_KEYDOWN, VK_RETURN, 1},
        {key(SDL_KEYDOWN, SDLK_F10), WM_KEYDOWN, VK_F10, 1},
        {key(SDL_KEYDOWN, SDLK_a), WM_KEYDOWN, 'A', 1},
        {key(SDL_KEYDOWN, SDLK_RCTRL), WM_KEYDOWN, VK_CONTROL, 1},
        {button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 12, 34), WM_LBUTTONDOWN, 0, makePointParam(12, 34)},
        {button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 199, 0), WM_RBUTTONUP, 0, makePointParam(199, 0)},
        {motion, WM_MOUSEMOVE, 0, makePointParam(300, 2)},
    };
    for (const auto& c : cases) {
        SDL_Event event = c.event;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        platform::Message message;
        ASSERT_TRUE(platform::peekMessage(message)) << "event type " << event.type;
        EXPECT_EQ(message.window, window);
        EXPECT_EQ(message.message, c.message);
        EXPECT_EQ(message.lParam, c.lParam) << "message " << c.message;
        if (c.message == WM_KEYDOWN || c.message == WM_KEYUP) {
            EXPECT_EQ(message.wParam, c.wParam);
        }
        EXPECT_FALSE(platform::peekMessage(message)) << "one message per event";
    }
    for (SDL_Keycode sym : {SDLK_RETURN, SDLK_F10, SDLK_a, SDLK_RCTRL}) {
        SDL_Event up = key(SDL_KEYUP, sym);
        SDL_PushEvent(&up);
    }
    takeAll();
}

TEST(MessageQueue, QuitMessageWithoutAnyWindow)
{
    platform::postQuitMessage(0);
    platform::Message message;
    ASSERT_TRUE(platform::peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 0u);
}

}  // namespace
