// The layer registry and the schedule, slot selection and drawing order, the per-slot time record
// and the show clock.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/OpenGL.h"
#include "runtime/Demo_Clock.h"
#include "sync/Sync_ControllerList.h"
#include "tests/runtime/DemoTestSupport.h"
#include "tests/support/GLTestContext.h"

namespace tavoTest {
namespace {

// The registry writes its debugger lines to standard error; these tests keep them.
class Demo_Registry : public ::testing::Test {
protected:
    void SetUp() override { testing::internal::CaptureStderr(); }
    void TearDown() override
    {
        if (capturing)
            testing::internal::GetCapturedStderr();
    }
    std::string debugger()
    {
        capturing = false;
        return testing::internal::GetCapturedStderr();
    }

    Demo demo;
    EventLog log;
    bool capturing = true;
};

TEST_F(Demo_Registry, AddLayerWritesItsDebuggerLines)
{
    demo.addLayer("postprocessor", new TestLayer("A", log));
    demo.addLayer("stagelight", new TestLayer("B", log));
    EXPECT_EQ(debugger(), "pushing postprocessor\n1\npushing stagelight\n2\n");
    ASSERT_EQ(demo.registry.size(), 2u);
    EXPECT_EQ(demo.registry[1].name, "stagelight");
}

TEST_F(Demo_Registry, DuplicateNamesBindTheFirstLayer)
{
    TestLayer* first = new TestLayer("first", log);
    TestLayer* second = new TestLayer("second", log);
    demo.addLayer("postprocessor", first);
    demo.addLayer("postprocessor", second);
    EXPECT_EQ(demo.findLayer("postprocessor"), first);
    EXPECT_EQ(demo.findLayer("Postprocessor"), nullptr) << "names are case-sensitive";
    EXPECT_EQ(demo.findLayer("stagelight"), nullptr);
    ASSERT_TRUE(demo.schedule("postprocessor", 3));
    EXPECT_EQ(demo.scheduleEntries[0].layer, first);
}

TEST_F(Demo_Registry, ScheduleRefusals)
{
    demo.addLayer("stagelight", new TestLayer("A", log));

    EXPECT_FALSE(demo.schedule("promptalong", 1)) << "an unknown name";
    EXPECT_EQ(demo.showStart, 0xFFFFFFFFu) << "unchanged by a refusal";
    EXPECT_EQ(demo.showEnd, 0u);
    EXPECT_FALSE(demo.schedule("stagelight", 128)) << "an order without a slot";
    EXPECT_TRUE(demo.scheduleEntries.empty());

    ASSERT_TRUE(demo.schedule("stagelight", 127));
    EXPECT_EQ(demo.showStart, 0u);
    EXPECT_EQ(demo.showEnd, 2105000u);
    const Demo_ScheduleEntry& entry = demo.scheduleEntries.at(0);
    EXPECT_EQ(entry.order, 127u);
    EXPECT_EQ(entry.start, 0u);
    EXPECT_EQ(entry.end, 2105000u);

    for (DemoState state : {DEMO_LOADED, DEMO_PLAYING, DEMO_PAUSED, DEMO_QUIT}) {
        demo.state = state;
        EXPECT_FALSE(demo.schedule("stagelight", 1)) << "in state " << state;
    }
    EXPECT_EQ(demo.scheduleEntries.size(), 1u);
}

TEST(Demo_ScheduleEntry, WindowIsInclusiveAtBothEnds)
{
    const Demo_ScheduleEntry whole{nullptr, 0, 0, 2105000};
    const Demo_ScheduleEntry later{nullptr, 0, 1000, 3000};
    const struct {
        const Demo_ScheduleEntry& entry;
        std::uint32_t timeMs;
        bool active;
    } cases[] = {
        {whole, 0, true}, {whole, 2105000, true}, {whole, 2105001, false}, {whole, 0xFFFFFFFFu, false},
        {later, 999, false}, {later, 1000, true}, {later, 3000, true}, {later, 3001, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.entry.activeAt(c.timeMs), c.active) << c.entry.start << ".." << c.entry.end << " at " << c.timeMs;
}

TEST(Demo_ScheduleEntry, FrameTimeRecord)
{
    const float spectrum[4] = {};
    const struct {
        const char* what;
        std::uint32_t start, end;
        float time, delta;
        std::uint32_t timeMs;
        float duration, remaining, startSeconds;
        bool firstFrame, lastFrame;
    } cases[] = {
        {"the show's first frame", 0, 2105000, 0.0f, 0.0f, 0, 2105.0f, 2105.0f, 0.0f, true, false},
        {"one second in", 0, 2105000, 1.0f, 0.016f, 1000, 2105.0f, 2104.0f, 0.0f, false, false},
        {"first frame less than a delta after 0", 0, 2105000, 0.005f, 0.016f, 5, 2105.0f, 2105.0f - 0.005f, 0.0f,
         true, false},
        {"delta milliseconds are truncated", 1000, 3000, 1.0169f, 0.0169f, 1016, 2.0f, 3.0f - 1.0169f, 1.0f, true,
         false},
        {"one millisecond too late for the first frame", 1000, 3000, 1.017f, 0.0169f, 1017, 2.0f, 3.0f - 1.017f, 1.0f,
         false, false},
        {"within a delta of the end", 0, 2105000, 2104.99f, 0.016f, 2104990, 2105.0f, 2105.0f - 2104.99f, 0.0f, false,
         true},
        {"exactly at the end", 1000, 3000, 3.0f, 0.0f, 3000, 2.0f, 0.0f, 1.0f, false, true},
        {"at the top of the millisecond range", 0, 2105000, 0.0f, 0.016f, 0xFFFFFFF8u, 2105.0f, 2105.0f, 0.0f, false,
         true},
    };
    for (const auto& c : cases) {
        const Demo_ScheduleEntry entry{nullptr, 0, c.start, c.end};
        const Demo_FrameTime record = entry.frameTime(c.time, c.delta, c.timeMs, spectrum);
        EXPECT_EQ(record.time, c.time) << c.what;
        EXPECT_EQ(record.delta, c.delta) << c.what;
        EXPECT_EQ(record.duration, c.duration) << c.what;
        EXPECT_EQ(record.remaining, c.remaining) << c.what;
        EXPECT_EQ(record.start, c.startSeconds) << c.what;
        EXPECT_EQ(record.firstFrame, c.firstFrame) << c.what;
        EXPECT_EQ(record.lastFrame, c.lastFrame) << c.what;
        EXPECT_EQ(record.spectrum, spectrum) << c.what;
    }
}

TEST(Demo_Clock, MillisecondsOfShowTime)
{
    const struct {
        float seconds;
        std::uint32_t milliseconds;
    } cases[] = {
        {0.0f, 0},
        {0.1f, 100},
        {1.5f, 1500},
        {0.0019f, 1},
        {2105.0f, 2105000},
        {2105.00122f, 2105001},
        {-0.0019f, 0xFFFFFFFFu},  // towards zero gives -1, whose low 32 bits are all set
        {5000000.0f, 705032704u},  // 5e9 ms keeps its low 32 bits
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Demo_Clock::toMilliseconds(c.seconds), c.milliseconds) << c.seconds;
}

TEST(Demo_Clock, TickMeasuresAndAccumulates)
{
    Demo_Clock clock;
    clock.restart(2.5f);
    EXPECT_EQ(clock.showTime(), 2.5f);
    EXPECT_EQ(clock.showTimeMs(), 2500u);

    platform::sleepMs(20);
    clock.tick(false);
    EXPECT_GE(clock.delta, 0.02f);
    EXPECT_EQ(clock.delta, clock.elapsed) << "the first tick measures from the restart";
    EXPECT_EQ(clock.accumulated, 0.0f) << "no accumulation when not asked";

    const float before = clock.elapsed;
    platform::sleepMs(20);
    clock.tick(true);
    EXPECT_GE(clock.delta, 0.02f);
    EXPECT_EQ(clock.delta, clock.elapsed - before);
    EXPECT_EQ(clock.accumulated, clock.delta);
    EXPECT_EQ(clock.showTime(), 2.5f + clock.delta);
}

// Slot selection and the drawing order of one frame, on a hidden GL context.
class Demo_Frame : public ::testing::Test {
protected:
    GLTestContext context{64, 64};
    Demo demo;
    EventLog log;

    TestLayer* add(const char* name)
    {
        TestLayer* layer = new TestLayer(name, log);
        demo.addLayer(name, layer);
        return layer;
    }

    void SetUp() override
    {
        ASSERT_TRUE(context.valid());
        testing::internal::CaptureStderr();  // the registry's debugger lines
    }
    void TearDown() override { testing::internal::GetCapturedStderr(); }
};

TEST_F(Demo_Frame, SlotOrderAndTwoOrdersOfOneLayer)
{
    add("A");
    add("B");
    add("C");  // registered, never scheduled
    ASSERT_TRUE(demo.schedule("B", 64));
    ASSERT_TRUE(demo.schedule("A", 65));
    ASSERT_TRUE(demo.schedule("A", 0));

    EXPECT_TRUE(demo.drawFrame(1.0f, 0.02f, nullptr));
    EXPECT_EQ(log, (EventLog{"update A", "render A", "update B", "render B", "update A", "render A"}));

    log.clear();
    demo.routeMessage(WM_TEST, 0, 0);
    EXPECT_EQ(log, (EventLog{"message A 1025", "message B 1025", "message A 1025"}));
}

TEST_F(Demo_Frame, LaterEntryWinsItsSlot)
{
    add("A");
    add("B");
    ASSERT_TRUE(demo.schedule("A", 5));
    ASSERT_TRUE(demo.schedule("B", 5));
    EXPECT_TRUE(demo.drawFrame(0.5f, 0.0f, nullptr));
    EXPECT_EQ(log, (EventLog{"update B", "render B"}));
}

TEST_F(Demo_Frame, AfterTheShowEndsTheFrameIsOnlyCleared)
{
    TestLayer* layer = add("A");
    ASSERT_TRUE(demo.schedule("A", 0));
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    EXPECT_TRUE(demo.drawFrame(2105.0f, 0.0f, nullptr)) << "the last millisecond of the window";
    EXPECT_EQ(layer->frames->back().remaining, 0.0f);
    log.clear();
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_FALSE(demo.drawFrame(2105.00122f, 0.0f, nullptr)) << "one millisecond later";
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(readPixel(10, 10), (std::array<std::uint8_t, 4>{0, 0, 0, 0})) << "cleared to (0, 0, 0, 0)";

    demo.routeMessage(WM_TEST, 0, 0);
    EXPECT_TRUE(log.empty()) << "after an idle frame no slot is occupied";
}

TEST_F(Demo_Frame, EvaluationAndUpdateStopWhilePaused)
{
    Sync_ControllerList controllers;
    Sync_Controller* ramp = controllers.findOrCreate("ramp");
    ramp->addKey(0.0f, 0.0f);
    ramp->addKey(2.0f, 1.0f);
    demo.controllers = &controllers;
    TestLayer* layer = add("A");
    ASSERT_TRUE(demo.schedule("A", 0));
    const float spectrum[1] = {};

    demo.state = DEMO_LOADED;
    ASSERT_TRUE(demo.drawFrame(1.5f, 0.25f, spectrum));
    EXPECT_FLOAT_EQ(ramp->value, 0.75f);
    ASSERT_EQ(layer->frames->size(), 1u);
    EXPECT_EQ((*layer->frames)[0].time, 1.5f);
    EXPECT_EQ((*layer->frames)[0].delta, 0.25f);
    EXPECT_EQ((*layer->frames)[0].spectrum, spectrum);

    demo.state = DEMO_PAUSED;
    log.clear();
    ASSERT_TRUE(demo.drawFrame(0.5f, 0.25f, spectrum));
    EXPECT_FLOAT_EQ(ramp->value, 0.75f) << "no evaluation while paused";
    EXPECT_EQ(log, (EventLog{"render A"})) << "rendered, not updated";

    demo.state = DEMO_LOADED;
    demo.controllers = nullptr;
    ASSERT_TRUE(demo.drawFrame(0.5f, 0.25f, spectrum));
    EXPECT_FLOAT_EQ(ramp->value, 0.75f) << "nothing to evaluate without a controller list";
}

TEST_F(Demo_Frame, EveryRenderStartsFromIdentityMatrices)
{
    TestLayer* messy = add("messy");
    TestLayer* checked = add("checked");
    ASSERT_TRUE(demo.schedule("messy", 0));
    ASSERT_TRUE(demo.schedule("checked", 1));
    ASSERT_TRUE(demo.schedule("messy", 2));
    messy->onRender = [] {
        // Moves both matrices, pushes once more and leaves the projection matrix current.
        glTranslatef(1, 2, 3);
        glMatrixMode(GL_PROJECTION);
        glScalef(2, 2, 2);
    };
    struct Seen {
        GLfloat projection[16], modelview[16];
        GLint mode, depth;
    };
    std::vector<Seen> seen;
    checked->onRender = [&seen] {
        Seen s{};
        glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
        glGetIntegerv(GL_MATRIX_MODE, &s.mode);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.depth);
        seen.push_back(s);
    };

    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    for (int frame = 0; frame < 3; ++frame)
        ASSERT_TRUE(demo.drawFrame(0.1f * static_cast<float>(frame), 0.1f, nullptr));

    const GLfloat identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ASSERT_EQ(seen.size(), 3u);
    for (const Seen& s : seen) {
        EXPECT_TRUE(std::equal(s.projection, s.projection + 16, identity));
        EXPECT_TRUE(std::equal(s.modelview, s.modelview + 16, identity));
        EXPECT_EQ(s.mode, GL_MODELVIEW);
        EXPECT_EQ(s.depth, depthBefore + 1) << "the modelview matrix was pushed once";
    }
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore) << "every push was popped";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace tavoTest
