// The launcher's result logic.
#include "platform/LauncherState.h"

namespace tavoFramework {

const LauncherState::Resolution LauncherState::resolutions[resolutionCount] = {
    {"640x480 (4:3)", 640, 480},       {"800x600 (4:3)", 800, 600},       {"1280x1024 (5:4)", 1280, 1024},
    {"1280x720 (16:9)", 1280, 720},    {"1680x1050 (16:10)", 1680, 1050}, {"1920x1080 (16:9)", 1920, 1080},
    {"1920x1200 (16:10)", 1920, 1200},
};

void LauncherState::apply(Action action)
{
    switch (action) {
    case Action::Launch:
        current.cancelled = false;
        current.fullscreen = fullscreen;
        if (selection >= 0 && selection < resolutionCount) {
            current.width = resolutions[selection].width;
            current.height = resolutions[selection].height;
        } else {
            current.cancelled = true;
        }
        return;
    case Action::Exit:
        current.cancelled = true;
        return;
    case Action::Escape:
    case Action::Close:
        return;
    }
}

}  // namespace tavoFramework
