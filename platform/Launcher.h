// The small window that asks, before anything else is created, at which resolution and in which
// mode the show runs: "launch", "exit", a list of seven resolutions and a "fullscreen" box.
#pragma once

#include "platform/LauncherResult.h"

namespace tavoFramework {

class Launcher {
public:
    // Opens the launcher centred on the primary screen and runs its message loop until "launch",
    // "exit", Escape or the close box ends it; everything it opened is released before it
    // returns. The quit message that ends it is consumed here. Without a display: cancelled.
    static LauncherResult show();
};

}  // namespace tavoFramework
