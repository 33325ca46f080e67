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

    // Sets value, changed and currentKey for show time `time` (seconds). The current key is the
    // last key at or before `time`, found by binary search (keys are kept in time order).
    // Allocates nothing. Without keys nothing changes.
    void evaluate(float time);

    // Inserts a key in time order with a default segment after it (none for the very first key).
    // A time equal to an earlier key's goes after it; a time equal to the last key's adds nothing.
    void addKey(float time, float value);

    // Removes key `index` and the segment of the interval that disappears; the value becomes 0 when
    // no key remains. Indices outside the keys do nothing.
    void deleteKey(int index);

    // Gives key `index` a new time if that keeps it strictly between its neighbours (a lone key
    // moves anywhere); otherwise nothing changes.
    void moveKey(int index, float time);

    // Index of the interval holding `time` (seconds): 0 before the first key, i - 1 exactly on key i,
    // -1 after the last key or with fewer than two keys.
    int intervalAt(float time) const;

    float keyTime(int index) const;       // 0 when the key does not exist
    float nextKeyTime(int index) const;   // time of key index + 1, 0 when it does not exist
    float keyValue(int index) const;      // 0 when the key does not exist
    void setKeyValue(int index, float value);  // clamped to [0, 1]; nothing for a missing key

    int keyCount() const { return static_cast<int>(keys.size()); }
    int segmentCount() const { return static_cast<int>(segments.size()); }
    // Segment `index` governs key index to key index + 1; index must be below segmentCount().
    Sync_Segment& segment(int index);
    const Sync_Segment& segment(int index) const;

    std::string name;
    float value = 0;             // result of the latest evaluation
    bool changed = false;        // the latest evaluation moved currentKey
    std::int32_t currentKey = -1;  // last key at or before the latest evaluated time; -1 before any
    std::vector<Sync_Key> keys;          // non-decreasing time
    std::vector<Sync_Segment> segments;  // segment i governs key i to key i + 1; keys - 1 of them
};

}  // namespace tavoFramework
