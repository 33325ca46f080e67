// The depth pass: renders queued scenes into a depth picture, every pixel the distance of the
// nearest surface from the eye / 250 as grey, cut out where a surface's first texture is nearly
// transparent. The picture goes into the framebuffer texture held under "depthPass", or into the
// current target when the texture manager holds none.
#pragma once

#include <vector>

#include "gl/GL_Shader.h"
#include "runtime/Layer_Base.h"

namespace tavoFramework {

class GL_FBOTexture;
struct Scene;

class Layer_DepthRenderer : public Layer_Base {
public:
    // The queue's storage and the program go; the scenes and the target are not the layer's. The
    // program-wide pointer is cleared when it names this layer, so it never points at a deleted one.
    ~Layer_DepthRenderer() override;

    // Always true: builds the "depthPass" program and keeps the texture held under "depthPass" as
    // the target when it is a framebuffer texture.
    bool load(GL_TextureManager* textures, Sync_ControllerList* controllers) override;
    void update(const Demo_FrameTime& frameTime) override;

    // Clears the target to (0, 0, 0, 1) and draws every queued scene at its time, each depth-tested
    // only against itself (a later scene draws over an earlier one), then empties the queue. Leaves
    // the projection and modelview of the last scene drawn and the clear colour (0, 0, 0, 1).
    void render() override;
    void unload() override {}

    // Queues `scene` (borrowed; it must live until the next render) to be drawn once, posed at
    // show time `time` (seconds), at the next render. GL thread only.
    void addScene(Scene* scene, float time);

private:
    struct Entry {
        Scene* scene;  // borrowed
        float time;    // seconds
    };

    GL_Shader depthShader;                  // "depthPass"
    GL_FBOTexture* depthTarget = nullptr;   // borrowed from the texture manager; none: the current target
    std::vector<Entry> queue;               // drawn in the order added
};

// The one depth pass of the program, set by start-up; none before.
extern Layer_DepthRenderer* depthRenderer;

}  // namespace tavoFramework
