// Interpolation settings of the interval between two neighbouring keys.
#pragma once

#include <cstdint>

namespace tavoFramework {

// Curve modes: how the interval parameter is shaped.
enum : std::int32_t { SYNC_LINEAR = 1, SYNC_SMOOTHSTEP = 2, SYNC_EXPONENTIAL = 3, SYNC_MINEXPONENTIAL = 4 };

// Endpoint modes: which values the interval blends from and to.
enum : std::int32_t {
    SYNC_VALVAL = 1,
    SYNC_VALZERO = 2,
    SYNC_VALONE = 3,
    SYNC_ZEROVAL = 4,
    SYNC_ONEVAL = 5,
    SYNC_ONEONE = 6,
    SYNC_ZEROZERO = 7,
};

struct Sync_Segment {
    std::int32_t curve = SYNC_LINEAR;
    std::int32_t ends = SYNC_VALVAL;
};

}  // namespace tavoFramework
