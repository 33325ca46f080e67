// What the launcher hands to start-up: whether to run the show, and at which size and mode.
#pragma once

namespace tavoFramework {

struct LauncherResult {
    bool cancelled = true;    // the show must not start
    int width = 0;            // chosen client width, pixels
    int height = 0;           // chosen client height, pixels
    bool fullscreen = false;  // the "fullscreen" check box when "launch" was pressed
};

}  // namespace tavoFramework
