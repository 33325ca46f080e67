// The time record handed to a layer's update, built for each occupied slot of a drawn frame.
#pragma once

namespace tavoFramework {

struct Demo_FrameTime {
    float time = 0;                   // show time, seconds
    float delta = 0;                  // seconds since the previous clock tick
    float duration = 0;               // (entry end - entry start) / 1000: the entry's length, seconds
    float remaining = 0;              // entry end / 1000 - time, seconds
    float start = 0;                  // entry start / 1000, seconds
    bool firstFrame = false;          // entry start (ms) >= t_ms - d_ms, unsigned arithmetic
    bool lastFrame = false;           // entry end (ms) <= t_ms + d_ms, unsigned arithmetic
    const float* spectrum = nullptr;  // this frame's music spectrum (512 bands), none without music
};

}  // namespace tavoFramework
