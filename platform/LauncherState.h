// The launcher's controls and what the user's actions make of the result, apart from drawing:
// the window draws the controls from this state and reports each action to it.
#pragma once

#include "platform/LauncherResult.h"

namespace tavoFramework {

class LauncherState {
public:
    struct Resolution {
        const char* text;  // the entry of the drop-down list
        int width, height;
    };
    static constexpr int resolutionCount = 7;
    static const Resolution resolutions[resolutionCount];

    // Launch and Exit are the two buttons, Escape the key, Close the window's close box (and the
    // close that follows either button). Every action ends the launcher.
    enum class Action { Launch, Exit, Escape, Close };

    // Launch takes the check box and the selected resolution (none selected: cancelled, size
    // unchanged); Exit cancels; Escape and Close leave the result as it is.
    void apply(Action action);

    const LauncherResult& result() const { return current; }

    bool fullscreen = true;  // the "fullscreen" check box
    int selection = 4;       // index into resolutions, -1 for none; "1680x1050 (16:10)" at first

private:
    LauncherResult current;
};

}  // namespace tavoFramework
