// The runtime object: the registry and schedule of layers, the show clock, the loading sequence
// and the main loop that evaluates the controllers and draws the active layers in slot order.
// The show has one instance (Demo::instance()); tests and tools may make their own.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"
#include "runtime/DemoState.h"
#include "runtime/Demo_Clock.h"
#include "runtime/Demo_LayerEntry.h"
#include "runtime/Demo_ScheduleEntry.h"
#include "runtime/LoadingScreen.h"

namespace tavoFramework {

class GL_TextureManager;
class Layer_Base;
class Sync_ControllerList;
class Sync_EditorHooks;
struct MusicTrack;

class Demo {
public:
    enum : std::uint32_t {
        SLOT_COUNT = 128,           // orders 0 to 127
        SHOW_END_MS = 2105000,      // every schedule entry ends here
        FRAME_HISTORY = 250,        // frame deltas kept for the F10 graph
    };

    // The show's runtime object, made before main runs.
    static Demo& instance();

    Demo() = default;
    // Frees the registry and schedule storage only: the layers are released by run, or live on
    // (a failed load) until the process ends.
    ~Demo() = default;
    Demo(const Demo&) = delete;
    Demo& operator=(const Demo&) = delete;

    // ---- Registry and schedule ------------------------------------------------------------------

    // Registers `layer` (non-null; the registry takes ownership) under a copy of `name`. Duplicate
    // names are allowed; allowed in every state, but only layers registered before loading load.
    void addLayer(const char* name, Layer_Base* layer);

    // The layer of the first entry named exactly `name`; null when there is none.
    Layer_Base* findLayer(const char* name) const;

    // Schedules the first layer named `name` at slot `order` for the whole show (0 to 2105000 ms).
    // False, changing nothing, after loading, for an unknown name, or for an order of 128 or more.
    bool schedule(const char* name, std::uint32_t order);

    // ---- Loading and the main loop ----------------------------------------------------------------

    // Loads every registered layer in registration order, each after 10 or 11 frames of the loading
    // picture swapped to `window`. True (state DEMO_LOADED) when all loaded; false at the first
    // failure, the state unchanged and the later layers not loaded.
    bool loadLayers(WindowHandle window);

    // The main loop, drawing to `window` until the quit message or the end of the show; then the
    // layers are unloaded and deleted, the blur released, the editor and texture manager deleted.
    // Does nothing unless the state is DEMO_LOADED.
    void run(WindowHandle window);

    // Draws one frame of the show at `seconds` of show time into the current GL target, without
    // swapping: evaluates the controllers (unless paused), selects the active entries, clears, and
    // updates (unless paused) and renders the layers in slot order with `delta` (seconds since the
    // previous frame) and `spectrum` (SPECTRUM_BANDS magnitudes, or null) in their records.
    // True when an entry was active; otherwise the frame is only cleared. For tools that render
    // the show at chosen times; the main loop draws its frames with the same steps.
    bool drawFrame(float seconds, float delta, const float* spectrum);

    // One slot of a frame: `update` with the record (skipped when it is null, as while paused),
    // then `render` from identity matrices with the modelview matrix pushed, popped afterwards.
    static void drawLayer(Layer_Base& layer, const Demo_FrameTime* frameTime);

    // ---- Window messages --------------------------------------------------------------------------

    // What the demo window procedure does: WM_CLOSE posts the quit message, Escape posts WM_CLOSE;
    // every message is routed, then handled by the default procedure, whose result is returned.
    LRESULT handleWindowMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam);

    // Hands a message to the attached editor, then to the layer of every occupied slot in slot
    // order (the selection of the latest pass that took no message).
    void routeMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The F10 read-out: records `delta`, darkens the left quarter of the picture, draws the
    // frame-time graph over it and shows the frames per second in the window title.
    void drawFrameTimeOverlay();

    // ---- State, shared with an attached editor ----------------------------------------------------

    DemoState state = DEMO_REGISTERING;
    std::vector<Demo_LayerEntry> registry;         // in registration order
    std::vector<Demo_ScheduleEntry> scheduleEntries;  // in scheduling order
    Demo_Clock clock;
    const Demo_ScheduleEntry* slots[SLOT_COUNT] = {};  // the latest selection, by order
    Sync_ControllerList* controllers = nullptr;    // borrowed; none means no evaluation
    GL_TextureManager* textures = nullptr;         // owned; deleted at the end of run
    MusicTrack* music = nullptr;                   // borrowed; none means silence
    std::uint32_t showStart = 0xFFFFFFFFu;         // smallest entry start, ms
    std::uint32_t showEnd = 0;                     // largest entry end, ms
    float frameTimeHistory[FRAME_HISTORY] = {};    // seconds, recorded while F10 is held
    std::uint32_t historyIndex = 0;                // next position to write
    Sync_EditorHooks* editor = nullptr;            // owned; none in this show
    WindowHandle window = nullptr;                 // stored by run
    LoadingScreen loadingScreen;

    // Frames per second of the F10 read-out: frames counted over at least half a second.
    struct FpsCounter {
        std::uint32_t frames = 0;
        std::uint32_t lastValue = 0;
        float time = 0;  // seconds counted
    } fps;

private:
    // Evaluates the controllers at `timeMs` (unless paused) and fills the slot table; true when an
    // entry is active.
    bool prepareFrame(std::uint32_t timeMs);
    // Updates (unless paused) and renders the layer of every occupied slot, in slot order.
    void renderSlots(float seconds, float delta, std::uint32_t timeMs, const float* spectrum);
    void startMusic();
    void showLatency(std::uint32_t timeMs);
    void release();
};

// The demo window procedure handed to GL_Window::create: Demo::instance().handleWindowMessage.
LRESULT demoWindowProcedure(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tavoFramework
