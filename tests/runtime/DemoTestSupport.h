// Test layers and a test editor that write what the runtime does to them into one shared log,
// and a real demo window (GL_Window on the offscreen driver) whose procedure is a test's Demo.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/GL_Window.h"
#include "platform/Platform.h"
#include "runtime/Demo.h"
#include "runtime/Layer_Base.h"
#include "sync/Sync_EditorHooks.h"

namespace tavoTest {

using namespace tavoFramework;

// What happened, in order: "load A", "update A", "render A", "message A 1025", "unload A",
// "delete A", "editor message 1025", ...
using EventLog = std::vector<std::string>;

// A message number of the tests' own, outside the ones the system handles.
constexpr UINT WM_TEST = 0x0401;

class TestLayer : public Layer_Base {
public:
    TestLayer(std::string name, EventLog& log, bool loadResult = true)
        : name(std::move(name)), log(log), loadResult(loadResult)
    {
    }
    ~TestLayer() override { log.push_back("delete " + name); }

    bool load(GL_TextureManager*, Sync_ControllerList*) override
    {
        log.push_back("load " + name);
        if (onLoad)
            onLoad();
        return loadResult;
    }
    void update(const Demo_FrameTime& frameTime) override
    {
        log.push_back("update " + name);
        frames->push_back(frameTime);
        if (onUpdate)
            onUpdate(frameTime);
    }
    void render() override
    {
        log.push_back("render " + name);
        if (onRender)
            onRender();
    }
    void onMessage(UINT message, WPARAM, LPARAM) override
    {
        log.push_back("message " + name + " " + std::to_string(message));
        if (onMessageHook)
            onMessageHook(message);
    }
    void unload() override { log.push_back("unload " + name); }

    std::string name;
    EventLog& log;
    bool loadResult;
    // Every record update received; shared, so a test can read it after run deleted the layer.
    std::shared_ptr<std::vector<Demo_FrameTime>> frames = std::make_shared<std::vector<Demo_FrameTime>>();
    std::function<void()> onLoad;
    std::function<void(const Demo_FrameTime&)> onUpdate;
    std::function<void()> onRender;
    std::function<void(UINT)> onMessageHook;
};

class TestEditor : public Sync_EditorHooks {
public:
    explicit TestEditor(EventLog& log) : log(log) {}
    ~TestEditor() override { log.push_back("editor delete"); }
    void init() override { log.push_back("editor init"); }
    void draw() override
    {
        log.push_back("editor draw");
        if (onDraw)
            onDraw();
    }
    void onMessage(UINT message, WPARAM, LPARAM) override
    {
        log.push_back("editor message " + std::to_string(message));
        if (onMessageHook)
            onMessageHook(message);
    }
    void shutdown() override { log.push_back("editor shutdown"); }

    EventLog& log;
    std::function<void()> onDraw;
    std::function<void(UINT)> onMessageHook;
};

// The entries of `log` that start with `prefix`, in order.
inline EventLog eventsStartingWith(const EventLog& log, const std::string& prefix)
{
    EventLog found;
    for (const std::string& event : log)
        if (event.rfind(prefix, 0) == 0)
            found.push_back(event);
    return found;
}

// A Demo of the test's own and a 320 x 180 demo window whose procedure is that Demo's. The
// message queue is emptied first, so nothing another test left behind reaches this one.
class DemoWindowTest : public ::testing::Test {
protected:
    static constexpr int width = 320;
    static constexpr int height = 180;

    void SetUp() override
    {
        current = &demo;
        ASSERT_TRUE(window.create("test", width, height, 1.77f, false, procedure));
        drainMessages();
    }

    void TearDown() override
    {
        window.destroy();
        drainMessages();
        current = nullptr;
    }

    static void drainMessages()
    {
        platform::Message message;
        while (platform::peekMessage(message)) {
        }
    }

    static LRESULT procedure(WindowHandle handle, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (current)
            return current->handleWindowMessage(handle, message, wParam, lParam);
        return platform::defaultWindowProcedure(handle, message, wParam, lParam);
    }

    Demo demo;
    GL_Window window;
    EventLog log;
    static inline Demo* current = nullptr;
};

}  // namespace tavoTest
