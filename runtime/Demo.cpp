// The runtime object: registry, schedule, slot selection, loading, the main loop and the release
// after it, the window procedure and message routing, and the F10 frame-time read-out.
#include "runtime/Demo.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <iterator>

#include "gl/Blur.h"
#include "gl/GL_TextureManager.h"
#include "platform/OpenGL.h"
#include "platform/Sound.h"
#include "runtime/Layer_Base.h"
#include "runtime/MusicTrack.h"
#include "sync/Sync_ControllerList.h"
#include "sync/Sync_EditorHooks.h"

namespace tavoFramework {

namespace {

constexpr const char* loadingPicture = "data\\textures\\loading.png";
constexpr unsigned loadingFrameSleepMs = 10;
constexpr unsigned idleFrameSleepMs = 1;

void clearFrame()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

bool keyHeldOrPressed(int virtualKey)
{
    return platform::asyncKeyState(virtualKey) != 0;
}

}  // namespace

Demo& Demo::instance()
{
    static Demo demo;
    return demo;
}

LRESULT demoWindowProcedure(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Demo::instance().handleWindowMessage(window, message, wParam, lParam);
}

// ---- Registry and schedule ----------------------------------------------------------------------

void Demo::addLayer(const char* name, Layer_Base* layer)
{
    assert(layer && "addLayer needs a layer object");
    registry.push_back(Demo_LayerEntry{layer, name});
    platform::debugOutput("pushing ");
    platform::debugOutput(name);
    platform::debugOutput("\n");
    platform::debugPrintf("%d\n", static_cast<int>(registry.size()));
}

Layer_Base* Demo::findLayer(const char* name) const
{
    for (const Demo_LayerEntry& entry : registry)
        if (entry.layer && entry.name == name)
            return entry.layer;
    return nullptr;
}

bool Demo::schedule(const char* name, std::uint32_t order)
{
    if (state != DEMO_REGISTERING)
        return false;
    Layer_Base* layer = findLayer(name);
    // An order beyond the slot table would have no slot to be drawn from.
    if (!layer || order >= SLOT_COUNT)
        return false;
    if (showStart > 0)
        showStart = 0;
    if (showEnd < SHOW_END_MS)
        showEnd = SHOW_END_MS;
    scheduleEntries.push_back(Demo_ScheduleEntry{layer, order, 0, SHOW_END_MS});
    return true;
}

// ---- Loading ------------------------------------------------------------------------------------

bool Demo::loadLayers(WindowHandle window)
{
    platform::debugPrintf("at load time: %d\n", static_cast<int>(registry.size()));
    loadingScreen.picture = textures ? textures->getTexture(loadingPicture, GL_REPEAT, GL_REPEAT) : nullptr;
    bool success = true;
    platform::setCursorPosition(0, 0);
    platform::showCursor(false);
    if (registry.empty()) {
        state = DEMO_LOADED;
        return true;
    }

    // `progress` only paces the loading frames: 10 or 11 of them before each layer, as float
    // rounding of the progress steps falls.
    float progress = 0.0f;
    for (std::size_t i = 0; i < registry.size(); ++i) {  // a layer's load may register more
        if (!success)
            return false;
        const float target = static_cast<float>(i + 1) / static_cast<float>(registry.size());
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        if (target >= progress) {
            const double step = (static_cast<double>(target) - static_cast<double>(progress)) / 10.0;
            do {
                clearFrame();
                loadingScreen.draw();
                platform::swapBuffers(window);
                platform::sleepMs(loadingFrameSleepMs);
                progress = static_cast<float>(static_cast<double>(progress) + step);
            } while (progress <= target);
        }
        progress = target;
        Layer_Base* layer = registry[i].layer;
        success = layer->load(textures, controllers);
    }
    if (success)
        state = DEMO_LOADED;
    return success;
}

// ---- One frame ----------------------------------------------------------------------------------

bool Demo::prepareFrame(std::uint32_t timeMs)
{
    if (controllers && state != DEMO_PAUSED)
        controllers->evaluateAll(static_cast<float>(static_cast<double>(timeMs) / 1000.0));

    bool active = false;
    std::fill(std::begin(slots), std::end(slots), nullptr);
    for (const Demo_ScheduleEntry& entry : scheduleEntries) {
        if (entry.activeAt(timeMs)) {
            slots[entry.order] = &entry;  // a later entry with the same order replaces an earlier one
            active = true;
        }
    }
    return active;
}

void Demo::renderSlots(float seconds, float delta, std::uint32_t timeMs, const float* spectrum)
{
    for (const Demo_ScheduleEntry* entry : slots) {
        if (!entry)
            continue;
        if (state == DEMO_PAUSED) {
            drawLayer(*entry->layer, nullptr);
        } else {
            const Demo_FrameTime frameTime = entry->frameTime(seconds, delta, timeMs, spectrum);
            drawLayer(*entry->layer, &frameTime);
        }
    }
}

void Demo::drawLayer(Layer_Base& layer, const Demo_FrameTime* frameTime)
{
    if (frameTime)
        layer.update(*frameTime);
    // Every layer starts from identity matrices with a pushed modelview matrix.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    layer.render();
    // The push was on the modelview stack, whichever matrix the layer left current.
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

bool Demo::drawFrame(float seconds, float delta, const float* spectrum)
{
    const std::uint32_t timeMs = Demo_Clock::toMilliseconds(seconds);
    const bool active = prepareFrame(timeMs);
    clearFrame();
    if (active)
        renderSlots(seconds, delta, timeMs, spectrum);
    return active;
}

// ---- The main loop ------------------------------------------------------------------------------

void Demo::startMusic()
{
    if (music && music->stream) {
        if (sound::allPaused())
            sound::setAllPaused(false);
        else
            sound::play(music->stream);
    }
    // Show time counts from this moment.
    clock.tick(true);
    clock.accumulated = 0.0f;
    if (music && music->stream)
        sound::setPosition(music->stream, 0);
}

void Demo::showLatency(std::uint32_t timeMs)
{
    const float showSeconds = static_cast<float>(static_cast<double>(timeMs) / 1000.0);
    const int musicMs = sound::position(music ? music->stream : nullptr);
    const float musicSeconds = static_cast<float>(static_cast<double>(musicMs) / 1000.0);
    char title[64];
    std::snprintf(title, sizeof title, "latency: %f\n", static_cast<double>(showSeconds - musicSeconds));
    platform::setWindowTitle(window, title);
}

void Demo::run(WindowHandle window)
{
    if (state != DEMO_LOADED)
        return;
    state = DEMO_PLAYING;
    this->window = window;

    int width = 0;
    int height = 0;
    platform::clientSize(window, width, height);
    initBlur(width, height);
    platform::debugPrintf("after gclrt start: %d\n", static_cast<int>(registry.size()));

    sound::Stream* stream = music ? music->stream : nullptr;
    if (stream)
        sound::setPosition(stream, 0);
    clock.restart(static_cast<float>(static_cast<double>(showStart) / 1000.0));
    if (stream)
        sound::setPosition(stream, 0);
    if (editor) {
        platform::showCursor(true);
        editor->init();
    }

    bool started = false;
    while (state != DEMO_QUIT) {
        if (clock.showTimeMs() > showEnd)
            break;

        // One message per pass; a pass that takes one draws nothing and does not tick.
        platform::Message message;
        if (platform::peekMessage(message)) {
            if (message.message == WM_QUIT) {
                if (stream)
                    sound::stop(stream);
                state = DEMO_QUIT;
                break;
            }
            platform::translateMessage(message);
            platform::dispatchMessage(message);
            continue;
        }

        if (state == DEMO_PLAYING && !started) {
            startMusic();
            started = true;
        }
        clock.tick(state == DEMO_PLAYING);
        const std::uint32_t timeMs = clock.showTimeMs();
        if (state == DEMO_PLAYING && controllers && keyHeldOrPressed(VK_RETURN))
            showLatency(timeMs);

        if (!prepareFrame(timeMs)) {
            clearFrame();
            platform::swapBuffers(window);
            platform::sleepMs(idleFrameSleepMs);
            continue;
        }
        const float* spectrum = nullptr;
        if (music && music->loaded) {
            music->spectrum = sound::spectrum();
            spectrum = music->spectrum;
        }
        clearFrame();
        renderSlots(clock.showTime(), clock.delta, timeMs, spectrum);
        if (keyHeldOrPressed(VK_F10))
            drawFrameTimeOverlay();
        if (editor)
            editor->draw();
        platform::swapBuffers(window);
    }
    release();
}

void Demo::release()
{
    for (std::size_t i = 0; i < registry.size(); ++i) {
        platform::debugPrintf("%d\n", static_cast<int>(registry.size()));
        registry[i].layer->unload();
        delete registry[i].layer;
    }
    // The slots go with the schedule, so no later message reaches a released layer.
    registry.clear();
    scheduleEntries.clear();
    std::fill(std::begin(slots), std::end(slots), nullptr);
    shutdownBlur();
    if (editor) {
        editor->shutdown();
        delete editor;
        editor = nullptr;
    }
    if (textures) {
        delete textures;
        textures = nullptr;
    }
}

// ---- Window messages ----------------------------------------------------------------------------

LRESULT Demo::handleWindowMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
        platform::postQuitMessage(0);
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE)
        platform::postMessage(window, WM_CLOSE, 0, 0);
    routeMessage(message, wParam, lParam);
    return platform::defaultWindowProcedure(window, message, wParam, lParam);
}

void Demo::routeMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (editor)
        editor->onMessage(message, wParam, lParam);
    for (const Demo_ScheduleEntry* entry : slots)
        if (entry && entry->layer)
            entry->layer->onMessage(message, wParam, lParam);
}

// ---- F10 read-out -------------------------------------------------------------------------------

void Demo::drawFrameTimeOverlay()
{
    frameTimeHistory[historyIndex] = clock.delta;
    historyIndex = (historyIndex + 1) % FRAME_HISTORY;

    // Screen coordinates 0 to 1, y downwards; lighting off, no texture. Depth test and the current
    // program are left as the layers set them.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glPushMatrix();
    glDisable(GL_LIGHTING);
    gluOrtho2D(0.0, 1.0, 1.0, 0.0);
    glBindTexture(GL_TEXTURE_2D, 0);

    // Multiply the left quarter of the picture by a dark red-grey.
    glColor3f(0.25f, 0.2f, 0.2f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(0.25f, 0.0f);
    glVertex2f(0.25f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
    glDisable(GL_BLEND);

    // The samples since the last wrap in red, the older ones in olive; 4 screen heights per second.
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_STRIP);
    for (std::uint32_t i = 0; i < historyIndex; ++i)
        glVertex2f(static_cast<float>(i) / 1000.0f, 0.25f + 4.0f * frameTimeHistory[i]);
    glEnd();
    glColor3f(0.5f, 0.5f, 0.0f);
    glBegin(GL_LINE_STRIP);
    for (std::uint32_t i = historyIndex; i < FRAME_HISTORY; ++i)
        glVertex2f(static_cast<float>(i) / 1000.0f, 0.25f + 4.0f * frameTimeHistory[i]);
    glEnd();

    glColor3f(1.0f, 1.0f, 1.0f);
    ++fps.frames;
    fps.time += clock.delta;
    if (fps.time >= 0.5f) {
        fps.lastValue = 2 * fps.frames;
        fps.time = 0.0f;
        fps.frames = 0;
    }
    char title[32];
    std::snprintf(title, sizeof title, "FPS:  %d", static_cast<int>(fps.lastValue));
    platform::setWindowTitle(window, title);

    glColor3f(1.0f, 1.0f, 1.0f);
    glPopMatrix();
}

}  // namespace tavoFramework
