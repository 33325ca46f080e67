// A named float curve over show time: keys, per-interval interpolation, and the value of the
// latest evaluation that layers read every frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sync/Sync_Key.h"
#include "sync/Sync_Segment.h"

namespace tavoFramework {

class Sync_Controller {
public:
    explicit Sync_Controller(std::string name);

    // Sets value, changed and currentKey for show time `time` (seconds). Allocates nothing.
    void evaluate(float time);

    void addKey(float time, float value);
    void deleteKey(int index);
    void moveKey(int index, float time);
    int intervalAt(float time) const;     // index of the interval holding `time`, or -1
    float keyTime(int index) const;       // 0 when the key does not exist
    float nextKeyTime(int index) const;   // time of key index + 1, 0 when it does not exist
    float keyValue(int index) const;      // 0 when the key does not exist
    void setKeyValue(int index, float value);  // clamped to [0, 1]

    int keyCount() const { return static_cast<int>(keys.size()); }
    int segmentCount() const { return static_cast<int>(segments.size()); }
    Sync_Segment& segment(int index);
    const Sync_Segment& segment(int index) const;

    std::string name;
    float value = 0;
    bool changed = false;
    std::int32_t currentKey = -1;
    std::vector<Sync_Key> keys;          // non-decreasing time
    std::vector<Sync_Segment> segments;  // segment i governs key i to key i + 1
};

}  // namespace tavoFramework
