// The layer contract: every visual effect loads once, then updates and renders while scheduled.
#pragma once

#include "platform/Platform.h"
#include "runtime/Demo_FrameTime.h"

namespace tavoFramework {

class GL_TextureManager;
class Sync_ControllerList;

class Layer_Base {
public:
    virtual ~Layer_Base() {}

    // Called once, in registration order, with the GL context current and before any frame.
    // Textures and controllers obtained here are borrowed for the whole run. False stops loading.
    virtual bool load(GL_TextureManager* textures, Sync_ControllerList* controllers) = 0;

    // Immediately before each render of a frame (not while paused); the record does not outlive it.
    virtual void update(const Demo_FrameTime& frameTime) = 0;

    // Projection and modelview are identity, modelview current and just pushed; popped afterwards.
    virtual void render() = 0;

    // Every window message while an entry of this layer holds a slot, once per such slot.
    virtual void onMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        (void)message;
        (void)wParam;
        (void)lParam;
    }

    // Once after the main loop, immediately before the layer is deleted.
    virtual void unload() = 0;
};

}  // namespace tavoFramework
