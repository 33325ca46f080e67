// The main loop in-process: a real demo window on the offscreen driver, test layers that log what
// the loop does to them, messages posted as the window system would post them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gl/GL_TextureManager.h"
#include "platform/OpenGL.h"
#include "platform/PlatformWindow.h"
#include "platform/Sound.h"
#include "runtime/MusicTrack.h"
#include "sync/Sync_ControllerList.h"
#include "tests/runtime/DemoTestSupport.h"
#include "tests/sound/Mp3Fixture.h"
#include "tests/support/GLTestContext.h"

namespace tavoTest {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

class MainLoop : public DemoWindowTest {
protected:
    void SetUp() override
    {
        DemoWindowTest::SetUp();
        demo.textures = new GL_TextureManager;
        testing::internal::CaptureStderr();  // the runtime's debugger lines
    }

    void TearDown() override
    {
        testing::internal::GetCapturedStderr();
        releaseKey(SDLK_RETURN);
        releaseKey(SDLK_F10);
        DemoWindowTest::TearDown();
    }

    TestLayer* add(const char* name)
    {
        TestLayer* layer = new TestLayer(name, log);
        demo.addLayer(name, layer);
        return layer;
    }

    // Loads the registered layers and runs the loop to its end.
    void loadAndRun()
    {
        ASSERT_TRUE(demo.loadLayers(window.window));
        log.clear();
        demo.run(window.window);
    }

    // Ends the show from inside it, as Escape in the window would.
    void pressEscape() { platform::postMessage(window.window, WM_KEYDOWN, VK_ESCAPE, 0); }

    static void pushKey(Uint32 type, SDL_Keycode key)
    {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = key;
        SDL_PushEvent(&event);
    }
    static void releaseKey(SDL_Keycode key)
    {
        pushKey(SDL_KEYUP, key);
        platform::asyncKeyState(key == SDLK_RETURN ? VK_RETURN : VK_F10);  // takes the event and the press
    }

    std::string title() const { return SDL_GetWindowTitle(window.window->sdl); }

    // The debugger output so far; capturing goes on.
    static std::string debuggerOutput()
    {
        const std::string output = testing::internal::GetCapturedStderr();
        testing::internal::CaptureStderr();
        return output;
    }
};

TEST_F(MainLoop, SlotOrderMessagesEditorAndReleaseOnEscape)
{
    TestLayer* a = add("A");
    add("B");
    add("C");  // registered, loaded and released, never drawn or messaged
    ASSERT_TRUE(demo.schedule("A", 0));
    ASSERT_TRUE(demo.schedule("B", 64));
    ASSERT_TRUE(demo.schedule("A", 65));
    demo.editor = new TestEditor(log);
    int updates = 0;
    a->onUpdate = [&](const Demo_FrameTime&) {
        if (++updates == 4)  // the second frame, at order 65
            platform::postMessage(window.window, WM_TEST, 0, 0);
        if (updates == 8)
            pressEscape();
    };

    loadAndRun();

    const EventLog expected = {
        "editor init",
        "update A", "render A", "update B", "render B", "update A", "render A", "editor draw",
        "update A", "render A", "update B", "render B", "update A", "render A", "editor draw",
        // a pass that takes a message draws nothing: the editor first, then each occupied slot
        "editor message 1025", "message A 1025", "message B 1025", "message A 1025",
        "update A", "render A", "update B", "render B", "update A", "render A", "editor draw",
        "update A", "render A", "update B", "render B", "update A", "render A", "editor draw",
        // Escape posts WM_CLOSE, which posts the quit message
        "editor message 256", "message A 256", "message B 256", "message A 256",
        "editor message 16", "message A 16", "message B 16", "message A 16",
        "editor message 2", "message A 2", "message B 2", "message A 2",  // WM_DESTROY from closing
        "unload A", "delete A", "unload B", "delete B", "unload C", "delete C",
        "editor shutdown", "editor delete",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(demo.state, DEMO_QUIT);
    EXPECT_TRUE(demo.registry.empty());
    EXPECT_TRUE(demo.scheduleEntries.empty());
    EXPECT_EQ(demo.textures, nullptr) << "the texture manager is deleted";
    EXPECT_EQ(demo.editor, nullptr);
    EXPECT_EQ(std::count(std::begin(demo.slots), std::end(demo.slots), nullptr), 128)
        << "no message may reach a released layer";
    EXPECT_FALSE(platform::isWindowAlive(window.window)) << "WM_CLOSE closed the window";
    const std::string debugger = debuggerOutput();
    EXPECT_NE(debugger.find("after gclrt start: 3\n3\n3\n3\n"), std::string::npos) << debugger;
}

TEST_F(MainLoop, PassWithAMessageNeitherDrawsNorTicks)
{
    TestLayer* layer = add("A");
    const auto frames = layer->frames;  // outlives the layer, which run deletes
    ASSERT_TRUE(demo.schedule("A", 0));
    std::vector<float> elapsedAtUpdates;
    std::vector<float> elapsedAtMessages;
    layer->onMessageHook = [&](UINT message) {
        if (message != WM_TEST)
            return;
        elapsedAtMessages.push_back(demo.clock.elapsed);
        platform::sleepMs(20);
    };
    layer->onUpdate = [&](const Demo_FrameTime&) {
        elapsedAtUpdates.push_back(demo.clock.elapsed);
        if (frames->size() == 3)
            for (int i = 0; i < 5; ++i)
                platform::postMessage(window.window, WM_TEST, 0, 0);
        if (frames->size() == 5)
            platform::postQuitMessage(0);
    };

    loadAndRun();

    const EventLog expected = {
        "update A", "render A", "update A", "render A", "update A", "render A",
        "message A 1025", "message A 1025", "message A 1025", "message A 1025", "message A 1025",
        "update A", "render A", "update A", "render A",
        "unload A", "delete A",
    };
    EXPECT_EQ(log, expected);
    ASSERT_EQ(elapsedAtMessages.size(), 5u);
    ASSERT_EQ(elapsedAtUpdates.size(), 5u);
    for (float elapsed : elapsedAtMessages)
        EXPECT_EQ(elapsed, elapsedAtUpdates[2]) << "the clock stood while messages were taken";
    EXPECT_GE((*frames)[3].delta, 0.1f) << "the passes' time is part of the next tick";
    EXPECT_EQ(demo.state, DEMO_QUIT);
}

TEST_F(MainLoop, MusicStartsAtTheFirstFreePass)
{
    const std::string folder = makeFixtureFolder();
    ASSERT_FALSE(folder.empty());
    const std::string file = folder + "/music.mp3";
    ASSERT_TRUE(writeMp3(file, tone(440.0, 3.0, 0.5)));
    MusicTrack music;
    music.stream = sound::openStream(file.c_str(), sound::STREAM_STEREO | sound::STREAM_ACCURATE_SEEK);
    ASSERT_NE(music.stream, nullptr);
    music.loaded = true;
    demo.music = &music;

    TestLayer* layer = add("A");
    const auto frames = layer->frames;  // outlives the layer, which run deletes
    ASSERT_TRUE(demo.schedule("A", 0));
    std::vector<int> positions;
    layer->onUpdate = [&](const Demo_FrameTime& frame) {
        positions.push_back(sound::position(music.stream));
        if (frame.time > 0.5f)
            pressEscape();
    };
    // Two slow messages wait when the loop starts; only the editor sees them, as no slot is taken yet.
    TestEditor* editor = new TestEditor(log);
    editor->onMessageHook = [](UINT message) {
        if (message == WM_TEST)
            platform::sleepMs(100);
    };
    demo.editor = editor;
    for (int i = 0; i < 2; ++i)
        platform::postMessage(window.window, WM_TEST, 0, 0);

    loadAndRun();

    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(EventLog(log.begin(), log.begin() + 4),
              (EventLog{"editor init", "editor message 1025", "editor message 1025", "update A"}));
    ASSERT_GE(frames->size(), 2u);
    EXPECT_LT((*frames)[0].time, 0.05f) << "show time counts from the music's start, after the messages";
    EXPECT_LT(positions[0], 50);
    EXPECT_NE((*frames)[0].spectrum, nullptr) << "a loaded track gives every frame a spectrum";
    EXPECT_EQ(frames->back().spectrum, music.spectrum);
    EXPECT_GT(positions.back(), 300) << "the music plays";
    EXPECT_LT(std::abs(positions.back() - static_cast<int>(frames->back().time * 1000.0f)), 100)
        << "in step with the show clock";

    // The quit message stopped the stream: its position stands.
    const int stopped = sound::position(music.stream);
    platform::sleepMs(100);
    EXPECT_EQ(sound::position(music.stream), stopped);
    std::system(("rm -rf '" + folder + "'").c_str());
}

TEST_F(MainLoop, LoopEndsAfterTheShowsLastMillisecond)
{
    TestLayer* layer = add("A");
    const auto frames = layer->frames;  // outlives the layer, which run deletes
    ASSERT_TRUE(demo.schedule("A", 0));
    // An editor's seek to just before the end, in the first frame.
    TestEditor* editor = new TestEditor(log);
    bool sought = false;
    editor->onDraw = [&] {
        if (!sought)
            demo.clock.accumulated = 2104.9f;
        sought = true;
    };
    demo.editor = editor;

    loadAndRun();

    ASSERT_GE(frames->size(), 2u);
    EXPECT_LE(Demo_Clock::toMilliseconds(frames->back().time), 2105000u);
    EXPECT_GT(frames->back().time, 2104.9f);
    EXPECT_EQ(demo.state, DEMO_PLAYING) << "the end of the show leaves the state to the caller";
    EXPECT_EQ(eventsStartingWith(log, "unload").size(), 1u);
}

TEST_F(MainLoop, BlackIdleFramesWhileNoEntryIsActive)
{
    TestLayer* layer = add("A");
    const auto frames = layer->frames;  // outlives the layer, which run deletes
    // An entry whose window opens half a second into the show (schedule() always opens it at 0).
    demo.scheduleEntries.push_back(Demo_ScheduleEntry{layer, 0, 500, 2105000});
    demo.showStart = 0;
    demo.showEnd = 2105000;
    Pixel shown{};
    layer->onRender = [&] {
        if (frames->size() == 1) {
            glReadBuffer(GL_FRONT);
            shown = readPixel(width / 2, height / 2);
            glReadBuffer(GL_BACK);
        }
        platform::postQuitMessage(0);
    };
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    platform::swapBuffers(window.window);

    loadAndRun();

    ASSERT_EQ(frames->size(), 1u);
    EXPECT_GE((*frames)[0].time, 0.5f) << "nothing is updated before the window opens";
    EXPECT_EQ(shown, (Pixel{0, 0, 0, 0})) << "the frames before it were cleared to black and swapped";
}

TEST_F(MainLoop, EnterShowsTheLatencyInTheTitle)
{
    Sync_ControllerList controllers;
    for (const bool withControllers : {false, true}) {
        SCOPED_TRACE(withControllers ? "with a controller list" : "without a controller list");
        Demo fresh;
        current = &fresh;
        fresh.controllers = withControllers ? &controllers : nullptr;
        EventLog events;
        TestLayer* layer = new TestLayer("A", events);
        const auto frames = layer->frames;
        fresh.addLayer("A", layer);
        ASSERT_TRUE(fresh.schedule("A", 0));
        layer->onUpdate = [&](const Demo_FrameTime& frame) {
            if (frame.time > 0.2f)
                platform::postQuitMessage(0);
        };
        SDL_SetWindowTitle(window.window->sdl, "test");
        pushKey(SDL_KEYDOWN, SDLK_RETURN);  // held through the show

        ASSERT_TRUE(fresh.loadLayers(window.window));
        fresh.run(window.window);
        releaseKey(SDLK_RETURN);

        if (!withControllers) {
            EXPECT_EQ(title(), "test");
            continue;
        }
        // Without music the position is 0: the latency is the show time of the last frame.
        const std::string shown = title();
        ASSERT_EQ(shown.rfind("latency: ", 0), 0u) << shown;
        EXPECT_EQ(shown.back(), '\n');
        EXPECT_NEAR(std::strtod(shown.c_str() + 9, nullptr), frames->back().time, 0.0011);
    }
    current = &demo;
}

TEST_F(MainLoop, F10ShowsFramesPerSecondInTheTitle)
{
    TestLayer* layer = add("A");
    const auto frames = layer->frames;  // outlives the layer, which run deletes
    ASSERT_TRUE(demo.schedule("A", 0));
    layer->onUpdate = [&](const Demo_FrameTime& frame) {
        if (frame.time > 1.2f)
            platform::postQuitMessage(0);
    };
    pushKey(SDL_KEYDOWN, SDLK_F10);  // held through the show

    loadAndRun();

    // The counter as the overlay keeps it, over the deltas the frames had.
    std::uint32_t counted = 0, lastValue = 0;
    float countedTime = 0;
    for (const Demo_FrameTime& frame : *frames) {
        ++counted;
        countedTime += frame.delta;
        if (countedTime >= 0.5f) {
            lastValue = 2 * counted;
            countedTime = 0;
            counted = 0;
        }
    }
    ASSERT_GT(lastValue, 0u);
    EXPECT_EQ(title(), "FPS:  " + std::to_string(lastValue));
    EXPECT_EQ(demo.historyIndex, frames->size() % Demo::FRAME_HISTORY);
    EXPECT_EQ(demo.frameTimeHistory[(demo.historyIndex + Demo::FRAME_HISTORY - 1) % Demo::FRAME_HISTORY],
              frames->back().delta);
}

}  // namespace
}  // namespace tavoTest
