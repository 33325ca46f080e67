// One key of a controller curve.
#pragma once

namespace tavoFramework {

struct Sync_Key {
    float time = 0;   // show time, seconds
    float value = 0;  // curve value at that time
};

}  // namespace tavoFramework
