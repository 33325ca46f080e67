// The states the show passes through, in order.
#pragma once

namespace tavoFramework {

enum DemoState {
    DEMO_REGISTERING,  // layers may be registered and scheduled (the initial state)
    DEMO_LOADED,       // every registered layer loaded; the main loop may run
    DEMO_PLAYING,      // the main loop runs and show time advances
    DEMO_PAUSED,       // frames are drawn but show time stands, no evaluation, no update (editor only)
    DEMO_QUIT,         // the show is over
};

}  // namespace tavoFramework
