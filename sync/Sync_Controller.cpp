// Controller curves: evaluation at a show time and the key operations the editor and the sync-file
// reader use. Every operation keeps the keys in time order, which evaluation relies on.
#include "sync/Sync_Controller.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

namespace tavoFramework {

namespace {

// The clamped Hermite step.
float smoothStep(float u)
{
    const float c = u < 0.0f ? 0.0f : u > 1.0f ? 1.0f : u;
    return c * c * (3.0f - 2.0f * c);
}

// The square of the exponential curves: a double-precision power rounded to a float.
float squared(float u)
{
    return static_cast<float>(std::pow(static_cast<double>(u), 2.0));
}

// The number of keys whose time is at most `time`, by binary search: "time <= x" holds for a prefix
// of the sorted keys (for none when x is NaN), so this equals a count over every key.
std::size_t keysAtOrBefore(const std::vector<Sync_Key>& keys, float time)
{
    const auto firstAfter = std::partition_point(keys.begin(), keys.end(),
                                                 [time](const Sync_Key& key) { return key.time <= time; });
    return static_cast<std::size_t>(firstAfter - keys.begin());
}

}  // namespace

Sync_Controller::Sync_Controller(std::string name) : name(std::move(name)) {}

void Sync_Controller::evaluate(float time)
{
    const int n = keyCount();
    if (n == 0)
        return;

    const int k = static_cast<int>(keysAtOrBefore(keys, time)) - 1;

    changed = false;
    if (k != currentKey && k != -1) {
        currentKey = k;
        changed = true;
    }
    if (k == -1) {
        value = keys.front().value;
        return;
    }
    if (k == n - 1) {
        value = keys.back().value;
        return;
    }

    const Sync_Key& from = keys[static_cast<std::size_t>(k)];
    const Sync_Key& to = keys[static_cast<std::size_t>(k) + 1];
    const float t = (time - from.time) / (to.time - from.time);
    assert(k < segmentCount() && "a controller has one segment per interval");
    const Sync_Segment& interval = segments[static_cast<std::size_t>(k)];

    float a = 0.0f;
    float b = 0.0f;
    switch (interval.ends) {
    case SYNC_VALVAL: a = from.value; b = to.value; break;
    case SYNC_VALZERO: a = from.value; b = 0.0f; break;
    case SYNC_VALONE: a = from.value; b = 1.0f; break;
    case SYNC_ZEROVAL: a = 0.0f; b = to.value; break;
    case SYNC_ONEVAL: a = 1.0f; b = to.value; break;
    case SYNC_ONEONE: a = 1.0f; b = 1.0f; break;
    default: break;  // SYNC_ZEROZERO and unknown modes blend 0 into 0
    }

    switch (interval.curve) {
    case SYNC_LINEAR: value = (1.0f - t) * a + t * b; break;
    case SYNC_SMOOTHSTEP: value = a + (b - a) * smoothStep(t); break;
    case SYNC_EXPONENTIAL: value = a + (b - a) * smoothStep(squared(t)); break;
    case SYNC_MINEXPONENTIAL: value = a + (b - a) * smoothStep(1.0f - squared(1.0f - t)); break;
    default: break;  // an unknown curve keeps the previous value
    }
}

void Sync_Controller::addKey(float time, float value)
{
    const Sync_Key key{time, value};
    if (keys.empty()) {
        keys.push_back(key);
        return;
    }
    if (time > keys.back().time) {
        segments.push_back(Sync_Segment{});
        keys.push_back(key);
        return;
    }
    // The first key later than `time`; none (the end) when `time` equals the last key's or is NaN.
    const auto later = std::partition_point(keys.begin(), keys.end(),
                                            [time](const Sync_Key& existing) { return !(existing.time > time); });
    if (later == keys.end())
        return;
    const std::size_t j = static_cast<std::size_t>(later - keys.begin());
    keys.insert(later, key);
    if (segments.size() >= j)
        segments.insert(segments.begin() + static_cast<std::ptrdiff_t>(j), Sync_Segment{});
    else
        segments.push_back(Sync_Segment{});
}

void Sync_Controller::deleteKey(int index)
{
    if (index < 0 || index >= keyCount())
        return;
    keys.erase(keys.begin() + index);
    // The interval that ended at the removed key goes; the first key takes its following interval.
    const int segmentIndex = index == 0 ? 0 : index - 1;
    if (segmentIndex < segmentCount())
        segments.erase(segments.begin() + segmentIndex);
    if (keys.empty())
        value = 0.0f;
}

void Sync_Controller::moveKey(int index, float time)
{
    const int n = keyCount();
    if (index < 0 || index >= n)
        return;
    const std::size_t i = static_cast<std::size_t>(index);
    bool accepted = false;
    if (n == 1)
        accepted = true;
    else if (index == 0)
        accepted = time < keys[1].time;
    else if (index == n - 1)
        accepted = time > keys[i - 1].time;
    else
        accepted = time > keys[i - 1].time && time < keys[i + 1].time;
    if (accepted)
        keys[i].time = time;
}

int Sync_Controller::intervalAt(float time) const
{
    if (keyCount() < 2)
        return -1;
    // The first key from index 1 on whose time is at least `time` ends the interval (none for NaN).
    const auto end = std::partition_point(keys.begin() + 1, keys.end(),
                                          [time](const Sync_Key& key) { return !(key.time >= time); });
    if (end == keys.end())
        return -1;
    return static_cast<int>(end - keys.begin()) - 1;
}

float Sync_Controller::keyTime(int index) const
{
    return index >= 0 && index < keyCount() ? keys[static_cast<std::size_t>(index)].time : 0.0f;
}

float Sync_Controller::nextKeyTime(int index) const
{
    return index >= -1 && index + 1 < keyCount() ? keys[static_cast<std::size_t>(index) + 1].time : 0.0f;
}

float Sync_Controller::keyValue(int index) const
{
    return index >= 0 && index < keyCount() ? keys[static_cast<std::size_t>(index)].value : 0.0f;
}

void Sync_Controller::setKeyValue(int index, float value)
{
    if (index < 0 || index >= keyCount())
        return;
    keys[static_cast<std::size_t>(index)].value = value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
}

Sync_Segment& Sync_Controller::segment(int index)
{
    assert(index >= 0 && index < segmentCount() && "segment index outside the controller's intervals");
    return segments[static_cast<std::size_t>(index)];
}

const Sync_Segment& Sync_Controller::segment(int index) const
{
    assert(index >= 0 && index < segmentCount() && "segment index outside the controller's intervals");
    return segments[static_cast<std::size_t>(index)];
}

}  // namespace tavoFramework
