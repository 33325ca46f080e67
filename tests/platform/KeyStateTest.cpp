// Asynchronous key state and the cursor display counter. Key events are synthetic SDL events for
// no window, read by asyncKeyState while nothing takes messages.
#include <gtest/gtest.h>

#include "platform/PlatformWindow.h"

namespace {

using namespace tavoFramework;

constexpr std::int16_t down = static_cast<std::int16_t>(0x8000);
constexpr std::int16_t pressed = 0x0001;

void pushKey(Uint32 type, SDL_Keycode sym)
{
    ASSERT_TRUE(platform::startVideo());
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = sym;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

TEST(KeyState, DownNowAndPressedSinceLastQuery)
{
    const struct {
        const char* name;
        std::vector<std::pair<Uint32, SDL_Keycode>> events;  // pushed before the query
        int key;
        std::int16_t state;
    } steps[] = {
        {"nothing happened", {}, VK_CONTROL, 0},
        {"press and release between queries", {{SDL_KEYDOWN, SDLK_LCTRL}, {SDL_KEYUP, SDLK_LCTRL}}, VK_CONTROL, pressed},
        {"the press was reported once", {}, VK_CONTROL, 0},
        {"held: down and pressed", {{SDL_KEYDOWN, SDLK_RCTRL}}, VK_CONTROL, down | pressed},
        {"the sided key too", {}, VK_RCONTROL, down | pressed},
        {"still held", {}, VK_CONTROL, down},
        {"auto-repeat is no new press", {{SDL_KEYDOWN, SDLK_RCTRL}}, VK_CONTROL, down},
        {"other side pressed while held", {{SDL_KEYDOWN, SDLK_LCTRL}}, VK_CONTROL, down},
        {"one side released, the other held", {{SDL_KEYUP, SDLK_RCTRL}}, VK_CONTROL, down},
        {"both released", {{SDL_KEYUP, SDLK_LCTRL}}, VK_CONTROL, 0},
        {"Enter", {{SDL_KEYDOWN, SDLK_RETURN}, {SDL_KEYUP, SDLK_RETURN}}, VK_RETURN, pressed},
        {"F10 held", {{SDL_KEYDOWN, SDLK_F10}}, VK_F10, down | pressed},
        {"F10 released", {{SDL_KEYUP, SDLK_F10}}, VK_F10, 0},
        {"keys outside the table", {}, 0, 0},
        {"keys outside the table", {}, 256, 0},
    };
    for (const auto& step : steps) {
        for (const auto& [type, sym] : step.events)
            pushKey(type, sym);
        EXPECT_EQ(platform::asyncKeyState(step.key), step.state) << step.name;
    }
    EXPECT_EQ(platform::asyncKeyState(VK_LCONTROL), pressed) << "left control's own press is kept";
    EXPECT_EQ(platform::asyncKeyState(VK_LCONTROL), 0);
}

// Key state stays right for the queries of the start gate while a message loop also runs.
TEST(KeyState, MessagesAndKeyStateSeeTheSameEvents)
{
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    platform::Message message;
    while (platform::peekMessage(message)) {
    }
    EXPECT_EQ(platform::asyncKeyState(VK_ESCAPE), down | pressed);
    pushKey(SDL_KEYUP, SDLK_ESCAPE);
    EXPECT_EQ(platform::asyncKeyState(VK_ESCAPE), 0);
}

TEST(Cursor, DisplayCounterDecidesVisibility)
{
    ASSERT_TRUE(platform::startVideo());
    // Bring the counter to 0 whatever ran before in this process.
    int counter = platform::showCursor(true);
    while (counter != 0)
        counter = platform::showCursor(counter < 0);

    const struct {
        bool show;
        int counter;
        bool visible;
    } steps[] = {
        {false, -1, false}, {false, -2, false}, {true, -1, false}, {true, 0, true}, {true, 1, true}, {false, 0, true},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(platform::showCursor(step.show), step.counter);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE, step.visible) << "counter " << step.counter;
    }
}

}  // namespace
