// The choreography reader: times on the beat grid, what its generators make of a controller's
// curve, and the mistakes it refuses.
#include <gtest/gtest.h>

#include "sync/Sync_ControllerList.h"
#include "tools/lib/Choreography.h"
#include "tools/lib/Score.h"

using namespace tavoFramework;

namespace {

// Two sections of two bars at 120 beats per minute: bars of 2 s, section b from 4 s.
Score grid()
{
    Score score;
    std::string error;
    EXPECT_TRUE(Score::parse("tempo 120\nmeter 4\nsection a 2 : Am | pad\nsection b 2 : C | kick\n", score, error))
        << error;
    return score;
}

Sync_Controller* build(const std::string& text, Sync_ControllerList& list)
{
    Choreography choreography;
    std::string error;
    EXPECT_TRUE(Choreography::parse(text, grid(), choreography, error)) << error;
    choreography.apply(list);
    return list.count() ? list.at(0) : nullptr;
}

}  // namespace

TEST(Choreography, PlacesKeysOnTheBeatGrid)
{
    Sync_ControllerList list;
    Sync_Controller* controller = build(
        "controller \"Postprocessor: blur factor\"\n"
        "  key a.1        0.5\n"
        "  key a.2:3      0.25 smoothstep valone\n"
        "  key b.1+0.5    0\n"
        "  key b.end      1    # the first beat after section b\n"
        "  key 100s       0.5\n"
        "  key end        0\n",
        list);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->name, "Postprocessor: blur factor");
    const float times[] = {0.0f, 3.0f, 4.25f, 8.0f, 100.0f, 2105.0f};
    ASSERT_EQ(controller->keyCount(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(controller->keyTime(i), times[i]) << "key " << i;
    EXPECT_EQ(controller->segment(0).curve, SYNC_SMOOTHSTEP) << "the interval leading to the key";
    EXPECT_EQ(controller->segment(0).ends, SYNC_VALONE);
    EXPECT_EQ(controller->segment(1).curve, SYNC_LINEAR);
    EXPECT_EQ(controller->segment(1).ends, SYNC_VALVAL);
}

TEST(Choreography, AFlashJumpsFromRestAndFallsBack)
{
    Sync_ControllerList list;
    Sync_Controller* controller = build(
        "controller \"fade\"\n"
        "  key a.1 0\n"
        "  pulse a.1:2 b.1 2 0.8 1\n",  // beats 2 and 4 of bar 1 and of bar 2: 0.5, 1.5, 2.5, 3.5 s
        list);
    ASSERT_NE(controller, nullptr);
    ASSERT_EQ(controller->keyCount(), 9);
    struct Sample {
        float time;
        float value;
    };
    const Sample samples[] = {
        {0.25f, 0.0f},   // at rest before the first flash
        {0.4999f, 0.0f}, // the interval before a flash runs to 0, not up to the peak
        {0.5f, 0.8f},    // the flash
        {1.0f, 0.0f},    // fallen back one beat later
        {1.25f, 0.0f},   // resting between flashes
        {3.5f, 0.8f},    // the last flash
        {5.0f, 0.0f},
    };
    for (const Sample& sample : samples) {
        controller->evaluate(sample.time);
        EXPECT_NEAR(controller->value, sample.value, 1e-3) << "at " << sample.time << " s";
    }
    controller->evaluate(0.75f);
    EXPECT_GT(controller->value, 0.0f);
    EXPECT_LT(controller->value, 0.4f) << "falls fast first";
}

TEST(Choreography, AWaveSwellsBetweenItsLevels)
{
    Sync_ControllerList list;
    Sync_Controller* controller = build("controller \"lights\"\n  wave 10s 30s 20s 0.2 0.6\n", list);
    ASSERT_NE(controller, nullptr);
    ASSERT_EQ(controller->keyCount(), 3);
    const float values[] = {0.2f, 0.6f, 0.2f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(controller->keyTime(i), 10.0f + 10.0f * i);
        EXPECT_FLOAT_EQ(controller->keyValue(i), values[i]);
    }
}

TEST(Choreography, RefusesMistakesAndSaysWhere)
{
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"key a.1 0\n", "line 1: keys before the first controller line"},
        {"controller \"x\"\n key a.1 0\n key 0s 1\n", "\"x\" has two keys at 0"},
        {"controller \"x\"\n key c.1 0\n", "line 2: unknown section 'c'"},
        {"controller \"x\"\n key a.3 0\n", "line 2: position 'a.3' lies outside its section"},
        {"controller \"x\"\n key a.1 bright\n", "line 2: 'bright' is no value"},
        {"controller \"x\"\n key a.1 0 wobbly\n", "line 2: 'wobbly' is neither a curve nor an endpoint mode"},
        {"controller \"x\"\n key 3000s 0\n", "line 2: time 3000s lies outside the show"},
        {"controller \"x\"\n flash a.1 1 0\n", "line 2: '0' is no length"},
        {"controller \"x\"\n pulse b.1 a.1 1 1 1\n", "line 2: a pulse must end after it starts"},
        {"controller \"x\"\ncontroller \"x\"\n", "line 2: \"x\" is given keys twice"},
        {"controller \"x\n", "line 1: a quoted name is not closed"},
    };
    for (const Case& c : cases) {
        Choreography choreography;
        std::string error;
        EXPECT_FALSE(Choreography::parse(c.text, grid(), choreography, error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << "gave: " << error;
    }
}
