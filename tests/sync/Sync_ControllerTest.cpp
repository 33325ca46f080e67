// Controller evaluation and key operations, as tables of cases.
#include "sync/Sync_Controller.h"
#include "sync/Sync_ControllerList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tavoFramework {
namespace {

// Two keys, (0 s, from) and (2 s, to), joined by one segment.
Sync_Controller twoKeys(float from, float to, std::int32_t curve, std::int32_t ends)
{
    Sync_Controller controller("test");
    controller.addKey(0.0f, from);
    controller.addKey(2.0f, to);
    controller.segment(0) = Sync_Segment{curve, ends};
    return controller;
}

struct CurveCase {
    const char* what;
    float from, to;
    std::int32_t curve, ends;
    float time;      // seconds; the interval runs from 0 to 2
    float expected;
};

TEST(Sync_ControllerEvaluate, CurveAndEndpointModes)
{
    const float keep = 0.77f;  // the value held before the evaluation
    const CurveCase cases[] = {
        {"linear valval", 0.2f, 0.8f, SYNC_LINEAR, SYNC_VALVAL, 1.0f, 0.5f},
        {"linear valzero", 0.2f, 0.8f, SYNC_LINEAR, SYNC_VALZERO, 1.0f, 0.1f},
        {"linear valone", 0.2f, 0.8f, SYNC_LINEAR, SYNC_VALONE, 1.0f, 0.6f},
        {"linear zeroval", 0.2f, 0.8f, SYNC_LINEAR, SYNC_ZEROVAL, 1.0f, 0.4f},
        {"linear oneval", 0.2f, 0.8f, SYNC_LINEAR, SYNC_ONEVAL, 1.0f, 0.9f},
        {"linear oneone", 0.2f, 0.8f, SYNC_LINEAR, SYNC_ONEONE, 1.0f, 1.0f},
        {"linear zerozero", 0.2f, 0.8f, SYNC_LINEAR, SYNC_ZEROZERO, 1.0f, 0.0f},
        {"ends 0 blends 0 to 0", 0.2f, 0.8f, SYNC_LINEAR, 0, 1.0f, 0.0f},
        {"ends 8 blends 0 to 0", 0.2f, 0.8f, SYNC_SMOOTHSTEP, 8, 1.5f, 0.0f},
        {"linear at a quarter", 0.0f, 1.0f, SYNC_LINEAR, SYNC_VALVAL, 0.5f, 0.25f},
        {"smoothstep at a quarter", 0.2f, 0.8f, SYNC_SMOOTHSTEP, SYNC_VALVAL, 0.5f, 0.2f + 0.6f * 0.15625f},
        {"smoothstep at half", 0.0f, 1.0f, SYNC_SMOOTHSTEP, SYNC_VALVAL, 1.0f, 0.5f},
        {"exponential at half", 0.0f, 1.0f, SYNC_EXPONENTIAL, SYNC_VALVAL, 1.0f, 0.15625f},
        {"minexponential at half", 0.0f, 1.0f, SYNC_MINEXPONENTIAL, SYNC_VALVAL, 1.0f, 0.84375f},
        {"exponential falling", 1.0f, 0.0f, SYNC_EXPONENTIAL, SYNC_VALVAL, 1.0f, 1.0f - 0.15625f},
        {"minexponential oneval", 0.0f, 0.5f, SYNC_MINEXPONENTIAL, SYNC_ONEVAL, 1.0f, 1.0f - 0.5f * 0.84375f},
        {"curve 0 keeps the value", 0.2f, 0.8f, 0, SYNC_VALVAL, 1.0f, keep},
        {"curve 5 keeps the value", 0.2f, 0.8f, 5, SYNC_VALVAL, 1.0f, keep},
    };
    for (const CurveCase& c : cases) {
        Sync_Controller controller = twoKeys(c.from, c.to, c.curve, c.ends);
        controller.value = keep;
        controller.evaluate(c.time);
        EXPECT_FLOAT_EQ(controller.value, c.expected) << c.what;
        EXPECT_EQ(controller.currentKey, 0) << c.what;
        EXPECT_TRUE(controller.changed) << c.what;
    }
}

struct PositionCase {
    const char* what;
    float time;
    float value;
    std::int32_t currentKey;
    bool changed;
};

TEST(Sync_ControllerEvaluate, PositionsAgainstTheKeys)
{
    // Keys at 1, 2 and 4 s with values 0.3, 0.6 and 0.9, linear; each case on a fresh controller.
    const PositionCase cases[] = {
        {"before the first key: its value, no current key", 0.5f, 0.3f, -1, false},
        {"minus infinity", -std::numeric_limits<float>::infinity(), 0.3f, -1, false},
        {"exactly on the first key", 1.0f, 0.3f, 0, true},
        {"inside the first interval", 1.5f, 0.45f, 0, true},
        {"exactly on a middle key: the start of its interval", 2.0f, 0.6f, 1, true},
        {"exactly on the last key", 4.0f, 0.9f, 2, true},
        {"after the last key", 100.0f, 0.9f, 2, true},
        {"plus infinity", std::numeric_limits<float>::infinity(), 0.9f, 2, true},
    };
    for (const PositionCase& c : cases) {
        Sync_Controller controller("test");
        controller.addKey(1.0f, 0.3f);
        controller.addKey(2.0f, 0.6f);
        controller.addKey(4.0f, 0.9f);
        controller.evaluate(c.time);
        EXPECT_FLOAT_EQ(controller.value, c.value) << c.what;
        EXPECT_EQ(controller.currentKey, c.currentKey) << c.what;
        EXPECT_EQ(controller.changed, c.changed) << c.what;
    }
}

TEST(Sync_ControllerEvaluate, ChangedOnlyWhenTheCurrentKeyMoves)
{
    Sync_Controller controller("test");
    controller.addKey(1.0f, 0.3f);
    controller.addKey(2.0f, 0.6f);
    controller.addKey(4.0f, 0.9f);
    struct Step {
        float time;
        std::int32_t currentKey;
        bool changed;
    };
    const Step steps[] = {
        {1.5f, 0, true},
        {1.7f, 0, false},
        {0.5f, 0, false},  // before the first key the current key is not reset
        {1.2f, 0, false},
        {3.0f, 1, true},
        {1.2f, 0, true},   // going back moves it too
        {9.0f, 2, true},
        {9.5f, 2, false},
    };
    for (const Step& step : steps) {
        controller.evaluate(step.time);
        EXPECT_EQ(controller.currentKey, step.currentKey) << "at " << step.time;
        EXPECT_EQ(controller.changed, step.changed) << "at " << step.time;
    }
}

TEST(Sync_ControllerEvaluate, NoKeysKeepsEverything)
{
    Sync_Controller controller("test");
    controller.evaluate(3.0f);
    EXPECT_EQ(controller.value, 0.0f);
    EXPECT_FALSE(controller.changed);
    EXPECT_EQ(controller.currentKey, -1);

    controller.value = 0.4f;
    controller.changed = true;
    controller.currentKey = 5;
    controller.evaluate(1.0f);
    EXPECT_EQ(controller.value, 0.4f);
    EXPECT_TRUE(controller.changed);
    EXPECT_EQ(controller.currentKey, 5);
}

TEST(Sync_ControllerEvaluate, OneKeyGivesItsValueEverywhere)
{
    Sync_Controller controller("test");
    controller.addKey(2.0f, 0.7f);
    controller.evaluate(1.0f);
    EXPECT_EQ(controller.value, 0.7f);
    EXPECT_EQ(controller.currentKey, -1);
    EXPECT_FALSE(controller.changed);
    controller.evaluate(2.0f);
    EXPECT_EQ(controller.value, 0.7f);
    EXPECT_EQ(controller.currentKey, 0);
    EXPECT_TRUE(controller.changed);
    controller.evaluate(50.0f);
    EXPECT_EQ(controller.value, 0.7f);
    EXPECT_FALSE(controller.changed);
}

TEST(Sync_ControllerEvaluate, ZeroLengthIntervalIsNeverEvaluated)
{
    Sync_Controller controller("test");
    controller.addKey(1.0f, 0.2f);
    controller.addKey(2.0f, 1.0f);
    controller.addKey(1.0f, 0.8f);  // goes after the key at 1 s
    ASSERT_EQ(controller.keyCount(), 3);
    controller.segment(0) = Sync_Segment{SYNC_LINEAR, SYNC_ONEONE};  // would give 1 if it were used

    controller.evaluate(1.0f);
    EXPECT_EQ(controller.currentKey, 1);
    EXPECT_FLOAT_EQ(controller.value, 0.8f);
    controller.evaluate(1.5f);
    EXPECT_FLOAT_EQ(controller.value, 0.9f);
    controller.evaluate(0.999f);
    EXPECT_FLOAT_EQ(controller.value, 0.2f);
}

// Keys and segments of a controller as (time, value) pairs and (curve, ends) pairs.
void expectCurve(const Sync_Controller& controller, std::vector<Sync_Key> keys, std::vector<Sync_Segment> segments,
                 const char* what)
{
    ASSERT_EQ(controller.keys.size(), keys.size()) << what;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(controller.keys[i].time, keys[i].time) << what << ", key " << i;
        EXPECT_EQ(controller.keys[i].value, keys[i].value) << what << ", key " << i;
    }
    ASSERT_EQ(controller.segments.size(), segments.size()) << what;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        EXPECT_EQ(controller.segments[i].curve, segments[i].curve) << what << ", segment " << i;
        EXPECT_EQ(controller.segments[i].ends, segments[i].ends) << what << ", segment " << i;
    }
}

// Keys at 0, 2 and 4 s (values 0.1, 0.2, 0.3) with distinguishable segments (2, 3) and (4, 5).
Sync_Controller threeKeys()
{
    Sync_Controller controller("test");
    controller.addKey(0.0f, 0.1f);
    controller.addKey(2.0f, 0.2f);
    controller.addKey(4.0f, 0.3f);
    controller.segment(0) = Sync_Segment{2, 3};
    controller.segment(1) = Sync_Segment{4, 5};
    return controller;
}

TEST(Sync_ControllerKeys, AddKeepsOrderAndSegments)
{
    const Sync_Segment fresh{SYNC_LINEAR, SYNC_VALVAL};
    {
        Sync_Controller c = threeKeys();
        c.addKey(5.0f, 0.4f);
        expectCurve(c, {{0, 0.1f}, {2, 0.2f}, {4, 0.3f}, {5, 0.4f}}, {{2, 3}, {4, 5}, fresh}, "after the last key");
    }
    {
        Sync_Controller c = threeKeys();
        c.addKey(1.0f, 0.9f);
        expectCurve(c, {{0, 0.1f}, {1, 0.9f}, {2, 0.2f}, {4, 0.3f}}, {{2, 3}, fresh, {4, 5}},
                    "inside an interval: the old segment ends at the new key");
    }
    {
        Sync_Controller c = threeKeys();
        c.addKey(-1.0f, 0.9f);
        expectCurve(c, {{-1, 0.9f}, {0, 0.1f}, {2, 0.2f}, {4, 0.3f}}, {fresh, {2, 3}, {4, 5}}, "before the first key");
    }
    {
        Sync_Controller c = threeKeys();
        c.addKey(2.0f, 0.9f);
        expectCurve(c, {{0, 0.1f}, {2, 0.2f}, {2, 0.9f}, {4, 0.3f}}, {{2, 3}, {4, 5}, fresh},
                    "at an earlier key's time: after that key");
    }
    {
        Sync_Controller c = threeKeys();
        c.addKey(4.0f, 0.9f);
        expectCurve(c, {{0, 0.1f}, {2, 0.2f}, {4, 0.3f}}, {{2, 3}, {4, 5}}, "at the last key's time: nothing");
    }
    {
        Sync_Controller c = threeKeys();
        c.addKey(std::nanf(""), 0.9f);
        expectCurve(c, {{0, 0.1f}, {2, 0.2f}, {4, 0.3f}}, {{2, 3}, {4, 5}}, "at no time at all: nothing");
    }
}

TEST(Sync_ControllerKeys, DeleteRemovesTheIntervalThatDisappears)
{
    {
        Sync_Controller c = threeKeys();
        c.deleteKey(0);
        expectCurve(c, {{2, 0.2f}, {4, 0.3f}}, {{4, 5}}, "first key");
    }
    {
        Sync_Controller c = threeKeys();
        c.deleteKey(1);
        expectCurve(c, {{0, 0.1f}, {4, 0.3f}}, {{4, 5}}, "middle key: the following segment spans the merge");
    }
    {
        Sync_Controller c = threeKeys();
        c.deleteKey(2);
        expectCurve(c, {{0, 0.1f}, {2, 0.2f}}, {{2, 3}}, "last key");
    }
    for (int index : {3, -1}) {
        Sync_Controller c = threeKeys();
        c.deleteKey(index);
        expectCurve(c, {{0, 0.1f}, {2, 0.2f}, {4, 0.3f}}, {{2, 3}, {4, 5}}, "outside the keys: nothing");
    }
    {
        Sync_Controller c("test");
        c.addKey(1.0f, 0.5f);
        c.addKey(2.0f, 0.6f);
        c.segment(0) = Sync_Segment{3, 3};
        c.deleteKey(1);
        expectCurve(c, {{1, 0.5f}}, {}, "one of two keys leaves no segment");
        c.addKey(3.0f, 0.7f);
        expectCurve(c, {{1, 0.5f}, {3, 0.7f}}, {{SYNC_LINEAR, SYNC_VALVAL}}, "a key added afterwards gets a fresh one");
    }
    {
        Sync_Controller c("test");
        c.addKey(1.0f, 0.5f);
        c.evaluate(1.0f);
        ASSERT_EQ(c.value, 0.5f);
        c.deleteKey(0);
        EXPECT_EQ(c.keyCount(), 0);
        EXPECT_EQ(c.value, 0.0f) << "deleting the last remaining key sets the value to 0";
    }
}

TEST(Sync_ControllerKeys, MoveStaysBetweenNeighbours)
{
    struct MoveCase {
        const char* what;
        int index;
        float time;
        float expectedTime;  // of key `index` (or of key 1 when index is outside)
    };
    const MoveCase cases[] = {
        {"first key earlier", 0, -3.0f, -3.0f},
        {"first key onto its neighbour", 0, 2.0f, 0.0f},
        {"first key just before its neighbour", 0, 1.9f, 1.9f},
        {"middle key between its neighbours", 1, 3.5f, 3.5f},
        {"middle key onto the previous key", 1, 0.0f, 2.0f},
        {"middle key onto the next key", 1, 4.0f, 2.0f},
        {"middle key past the next key", 1, 5.0f, 2.0f},
        {"last key later", 2, 10.0f, 10.0f},
        {"last key onto its neighbour", 2, 2.0f, 4.0f},
        {"index beyond the keys", 3, 1.0f, 2.0f},
        {"negative index", -1, 1.0f, 2.0f},
    };
    for (const MoveCase& c : cases) {
        Sync_Controller controller = threeKeys();
        controller.moveKey(c.index, c.time);
        const int checked = c.index >= 0 && c.index < 3 ? c.index : 1;
        EXPECT_EQ(controller.keyTime(checked), c.expectedTime) << c.what;
    }
    Sync_Controller lone("test");
    lone.addKey(1.0f, 0.5f);
    lone.moveKey(0, -20.0f);
    EXPECT_EQ(lone.keyTime(0), -20.0f) << "a lone key moves anywhere";
}

TEST(Sync_ControllerKeys, IntervalLookup)
{
    struct IntervalCase {
        float time;
        int interval;
    };
    const IntervalCase cases[] = {
        {-5.0f, 0}, {0.0f, 0}, {1.0f, 0}, {2.0f, 0}, {2.5f, 1}, {4.0f, 1}, {4.5f, -1}, {std::nanf(""), -1},
    };
    const Sync_Controller controller = threeKeys();
    for (const IntervalCase& c : cases)
        EXPECT_EQ(controller.intervalAt(c.time), c.interval) << "at " << c.time;

    Sync_Controller one("test");
    EXPECT_EQ(one.intervalAt(0.0f), -1) << "no keys";
    one.addKey(1.0f, 0.5f);
    EXPECT_EQ(one.intervalAt(0.0f), -1) << "one key";
}

TEST(Sync_ControllerKeys, AccessorsAndClampedValues)
{
    Sync_Controller c = threeKeys();
    EXPECT_EQ(c.keyTime(2), 4.0f);
    EXPECT_EQ(c.nextKeyTime(1), 4.0f);
    EXPECT_EQ(c.keyValue(1), 0.2f);
    EXPECT_EQ(c.keyTime(3), 0.0f);
    EXPECT_EQ(c.keyTime(-1), 0.0f);
    EXPECT_EQ(c.nextKeyTime(2), 0.0f);
    EXPECT_EQ(c.keyValue(7), 0.0f);

    c.setKeyValue(0, 1.7f);
    c.setKeyValue(1, -0.2f);
    c.setKeyValue(2, 0.25f);
    c.setKeyValue(3, 0.5f);  // no such key: nothing
    EXPECT_EQ(c.keyValue(0), 1.0f);
    EXPECT_EQ(c.keyValue(1), 0.0f);
    EXPECT_EQ(c.keyValue(2), 0.25f);
    EXPECT_EQ(c.keyCount(), 3);
}

TEST(Sync_ControllerList, FindOrCreateByExactName)
{
    Sync_ControllerList list;
    Sync_Controller* lower = list.findOrCreate("stagelight");
    Sync_Controller* upper = list.findOrCreate("Stagelight");
    EXPECT_NE(lower, upper) << "names are case-sensitive";
    EXPECT_EQ(list.findOrCreate("stagelight"), lower);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.nameAt(1), "Stagelight");
    EXPECT_EQ(list.at(0), lower);

    Sync_Controller* added = list.findOrCreate("rotate stagelight");
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.at(2), added) << "a new name is appended at the end";
    EXPECT_EQ(added->value, 0.0f);
    EXPECT_FALSE(added->changed);
    EXPECT_EQ(added->currentKey, -1);
    EXPECT_EQ(added->keyCount(), 0);
}

TEST(Sync_ControllerList, EvaluateAllEvaluatesEveryController)
{
    Sync_ControllerList list;
    Sync_Controller* a = list.findOrCreate("a");
    Sync_Controller* b = list.findOrCreate("b");
    list.findOrCreate("no keys");
    a->addKey(0.0f, 0.0f);
    a->addKey(1.0f, 1.0f);
    b->addKey(0.0f, 0.5f);
    list.evaluateAll(0.25f);
    EXPECT_FLOAT_EQ(a->value, 0.25f);
    EXPECT_EQ(b->value, 0.5f);
    EXPECT_EQ(list.at(2)->value, 0.0f);
}

}  // namespace
}  // namespace tavoFramework
