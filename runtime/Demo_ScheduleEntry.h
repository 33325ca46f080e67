// One scheduled use of a registered layer: drawn in slot `order` while show time lies in its window.
#pragma once

#include <cstdint>

#include "runtime/Demo_FrameTime.h"

namespace tavoFramework {

class Layer_Base;

struct Demo_ScheduleEntry {
    // True while `timeMs` lies in the window; both ends are inclusive.
    bool activeAt(std::uint32_t timeMs) const { return start <= timeMs && timeMs <= end; }

    // The record handed to the layer's update in a frame at show time `time` (seconds) and `timeMs`
    // (the same time in milliseconds, as selection used it), `delta` seconds after the previous tick.
    Demo_FrameTime frameTime(float time, float delta, std::uint32_t timeMs, const float* spectrum) const;

    Layer_Base* layer = nullptr;  // borrowed from the registry
    std::uint32_t order = 0;      // slot, 0 to 127: fixes drawing and message order within a frame
    std::uint32_t start = 0;      // first millisecond of show time of the window
    std::uint32_t end = 0;        // last millisecond of the window, inclusive
};

}  // namespace tavoFramework
