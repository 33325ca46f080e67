// Evaluation finds the current key by binary search; this checks it against a literal
// transcription of the plain evaluation, which scans every key, on random curves and times.
#include "sync/Sync_Controller.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace tavoFramework {
namespace {

// The evaluation state a reference run carries from one evaluation to the next.
struct Reference {
    float value = 0;
    bool changed = false;
    std::int32_t currentKey = -1;
    int lastK = -2;  // k of the latest evaluation, -2 before any
};

float referenceStep(float u)
{
    float c = u;
    if (c < 0.0f)
        c = 0.0f;
    if (c > 1.0f)
        c = 1.0f;
    return c * c * (3.0f - 2.0f * c);
}

// Evaluation written as a scan over every key, step by step.
void referenceEvaluate(const std::vector<Sync_Key>& keys, const std::vector<Sync_Segment>& segments, float x,
                       Reference& state)
{
    const int n = static_cast<int>(keys.size());
    if (n == 0)
        return;
    int k = -1;
    for (int i = 0; i < n; ++i)
        if (keys[i].time <= x)
            k = i;
    state.lastK = k;
    state.changed = false;
    if (k != state.currentKey && k != -1) {
        state.currentKey = k;
        state.changed = true;
    }
    if (k == -1) {
        state.value = keys[0].value;
        return;
    }
    if (k == n - 1) {
        state.value = keys[n - 1].value;
        return;
    }
    const float t = (x - keys[k].time) / (keys[k + 1].time - keys[k].time);
    float a = 0, b = 0;
    const float vi = keys[k].value, vn = keys[k + 1].value;
    switch (segments[k].ends) {
    case 1: a = vi; b = vn; break;
    case 2: a = vi; b = 0; break;
    case 3: a = vi; b = 1; break;
    case 4: a = 0; b = vn; break;
    case 5: a = 1; b = vn; break;
    case 6: a = 1; b = 1; break;
    default: a = 0; b = 0; break;
    }
    switch (segments[k].curve) {
    case 1: state.value = (1 - t) * a + t * b; break;
    case 2: state.value = a + (b - a) * referenceStep(t); break;
    case 3: state.value = a + (b - a) * referenceStep(static_cast<float>(std::pow(static_cast<double>(t), 2.0))); break;
    case 4:
        state.value = a + (b - a) * referenceStep(1.0f - static_cast<float>(std::pow(static_cast<double>(1.0f - t), 2.0)));
        break;
    default: break;
    }
}

// A random controller: sorted times with frequent repeats, random values, curves 0 to 5, ends 0 to 8.
Sync_Controller randomController(std::mt19937& random)
{
    std::uniform_int_distribution<int> keyCount(0, 40);
    std::uniform_real_distribution<float> gap(0.0f, 3.0f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_int_distribution<int> curve(0, 5);
    std::uniform_int_distribution<int> ends(0, 8);
    std::bernoulli_distribution repeat(0.15);

    Sync_Controller controller("random");
    const int n = keyCount(random);
    float time = gap(random) * 10.0f - 15.0f;
    for (int i = 0; i < n; ++i) {
        if (i > 0 && !repeat(random))
            time += gap(random);
        controller.keys.push_back(Sync_Key{time, unit(random)});
        if (i > 0)
            controller.segments.push_back(Sync_Segment{curve(random), ends(random)});
    }
    return controller;
}

// A time that often hits a key exactly, sometimes lies outside the keys, rarely is not finite.
float randomTime(std::mt19937& random, const Sync_Controller& controller)
{
    std::uniform_int_distribution<int> kind(0, 19);
    std::uniform_real_distribution<float> span(-25.0f, 140.0f);
    const int n = controller.keyCount();
    switch (kind(random)) {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return std::numeric_limits<float>::infinity();
    case 2: return -std::numeric_limits<float>::infinity();
    case 3:
    case 4:
    case 5:
    case 6:
        if (n > 0)
            return controller.keys[std::uniform_int_distribution<int>(0, n - 1)(random)].time;
        return 0.0f;
    case 7:
        if (n > 0)
            return std::nextafter(controller.keys[std::uniform_int_distribution<int>(0, n - 1)(random)].time, -1e30f);
        return 0.0f;
    default: return span(random);
    }
}

TEST(Sync_ControllerSearch, BinarySearchMatchesTheFullScan)
{
    std::mt19937 random(20110417);
    for (int curveNumber = 0; curveNumber < 2000; ++curveNumber) {
        Sync_Controller controller = randomController(random);
        Reference reference;
        for (int evaluation = 0; evaluation < 60; ++evaluation) {
            const float x = randomTime(random, controller);
            controller.evaluate(x);
            referenceEvaluate(controller.keys, controller.segments, x, reference);

            ASSERT_EQ(controller.currentKey, reference.currentKey) << "curve " << curveNumber << " at " << x;
            ASSERT_EQ(controller.changed, reference.changed) << "curve " << curveNumber << " at " << x;
            // Bit-for-bit equal results (NaN compares as itself).
            const bool same = controller.value == reference.value ||
                              (std::isnan(controller.value) && std::isnan(reference.value));
            ASSERT_TRUE(same) << "curve " << curveNumber << " at " << x << ": " << controller.value << " against "
                              << reference.value << " (k " << reference.lastK << ")";
        }
    }
}

}  // namespace
}  // namespace tavoFramework
