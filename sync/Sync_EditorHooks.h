// What the runtime asks of an attached controller editor. The editor draws over the running show
// and sees every window message before the layers; the runtime owns it once attached.
#pragma once

#include "platform/Platform.h"

namespace tavoFramework {

class Sync_EditorHooks {
public:
    virtual ~Sync_EditorHooks() {}

    // Once, when the main loop starts, with the GL context current (the cursor was just shown).
    virtual void init() = 0;

    // In every drawn frame, after the layers and before the buffers are swapped.
    virtual void draw() = 0;

    // Every window message of the demo window, before any layer sees it.
    virtual void onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // Once, after the main loop released the layers; the runtime deletes the editor right after.
    virtual void shutdown() = 0;
};

}  // namespace tavoFramework
