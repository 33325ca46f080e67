// The launcher: what each action makes of the result (no drawing), and the real launcher window
// on the offscreen driver ended by Escape and by the close box.
#include <gtest/gtest.h>

#include <imgui.h>

#include <vector>

#include "platform/Launcher.h"
#include "platform/LauncherState.h"
#include "platform/PlatformWindow.h"

namespace {

using namespace tavoFramework;
using Action = LauncherState::Action;

TEST(LauncherState, ResolutionList)
{
    const struct {
        const char* text;
        int width, height;
    } expected[] = {
        {"640x480 (4:3)", 640, 480},       {"800x600 (4:3)", 800, 600},       {"1280x1024 (5:4)", 1280, 1024},
        {"1280x720 (16:9)", 1280, 720},    {"1680x1050 (16:10)", 1680, 1050}, {"1920x1080 (16:9)", 1920, 1080},
        {"1920x1200 (16:10)", 1920, 1200},
    };
    ASSERT_EQ(LauncherState::resolutionCount, 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(LauncherState::resolutions[i].text, expected[i].text);
        EXPECT_EQ(LauncherState::resolutions[i].width, expected[i].width);
        EXPECT_EQ(LauncherState::resolutions[i].height, expected[i].height);
    }
}

TEST(LauncherState, ResultOfEachAction)
{
    const struct {
        const char* name;
        bool fullscreen;  // the check box at the time of the actions
        int selection;
        std::vector<Action> actions;
        LauncherResult result;
    } cases[] = {
        {"launch untouched", true, 4, {Action::Launch, Action::Close}, {false, 1680, 1050, true}},
        {"unticked, 1280x720, launch", false, 3, {Action::Launch, Action::Close}, {false, 1280, 720, false}},
        {"640x480 windowed", false, 0, {Action::Launch}, {false, 640, 480, false}},
        {"last entry", true, 6, {Action::Launch}, {false, 1920, 1200, true}},
        {"exit", true, 4, {Action::Exit, Action::Close}, {true, 0, 0, false}},
        {"escape", true, 4, {Action::Escape}, {true, 0, 0, false}},
        {"close box", false, 2, {Action::Close}, {true, 0, 0, false}},
        {"launch with nothing selected", true, -1, {Action::Launch}, {true, 0, 0, true}},
        {"launch with an index past the list", false, 7, {Action::Launch}, {true, 0, 0, false}},
    };
    for (const auto& c : cases) {
        LauncherState state;
        EXPECT_TRUE(state.fullscreen) << "ticked at first";
        EXPECT_EQ(state.selection, 4) << "1680x1050 (16:10) at first";
        EXPECT_TRUE(state.result().cancelled) << "cancelled until launched";
        state.fullscreen = c.fullscreen;
        state.selection = c.selection;
        for (Action action : c.actions)
            state.apply(action);
        EXPECT_EQ(state.result().cancelled, c.result.cancelled) << c.name;
        EXPECT_EQ(state.result().width, c.result.width) << c.name;
        EXPECT_EQ(state.result().height, c.result.height) << c.name;
        EXPECT_EQ(state.result().fullscreen, c.result.fullscreen) << c.name;
    }
}

// Once the launcher window is shown, the watch pushes the events of the case for it.
std::vector<SDL_Event> eventsWhenShown;
Uint32 launcherWindowId = 0;

int pushWhenShown(void*, SDL_Event* event)
{
    if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_SHOWN && !launcherWindowId) {
        launcherWindowId = event->window.windowID;
        for (SDL_Event pushed : eventsWhenShown) {
            pushed.window.windowID = launcherWindowId;  // windowID sits at the same place in every event
            SDL_PushEvent(&pushed);
        }
    }
    return 1;
}

TEST(Launcher, EscapeAndCloseBoxEndItCancelled)
{
    SDL_Event escapeDown{};
    escapeDown.type = SDL_KEYDOWN;
    escapeDown.key.keysym.sym = SDLK_ESCAPE;
    SDL_Event escapeUp = escapeDown;
    escapeUp.type = SDL_KEYUP;
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;

    const struct {
        const char* name;
        std::vector<SDL_Event> events;
    } cases[] = {{"Escape", {escapeDown, escapeUp}}, {"close box", {close}}};
    ASSERT_TRUE(platform::startVideo());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        eventsWhenShown = c.events;
        launcherWindowId = 0;
        SDL_AddEventWatch(pushWhenShown, nullptr);
        const LauncherResult result = Launcher::show();
        SDL_DelEventWatch(pushWhenShown, nullptr);

        ASSERT_NE(launcherWindowId, 0u) << "the launcher window was shown";
        EXPECT_TRUE(result.cancelled);
        EXPECT_EQ(result.width, 0);
        EXPECT_EQ(result.height, 0);
        EXPECT_FALSE(result.fullscreen);
        EXPECT_EQ(SDL_GetWindowFromID(launcherWindowId), nullptr) << "its SDL window is released";
        EXPECT_EQ(ImGui::GetCurrentContext(), nullptr) << "its GUI is shut down";
        EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr) << "its GL context is released";
        platform::Message message;
        while (platform::peekMessage(message))
            EXPECT_NE(message.message, WM_QUIT) << "the launcher consumed its quit message";
    }
}

TEST(Launcher, FindsDejaVuSans)
{
    const std::string file = platform::findFontFace("DejaVu Sans").file;
    EXPECT_NE(file.find("DejaVuSans"), std::string::npos) << file;
}

}  // namespace
