// The stage lights: seven beams hanging from the top of the picture, added onto black. Five swing
// and change colour under the controllers; the two corner lights pulse with the music's low end.
// Its load also holds the start gate of the build that waits for Control before the show.
#pragma once

#include "runtime/Layer_Base.h"

namespace tavoFramework {

class GL_Texture;
class Sync_Controller;

class Layer_Stagelight : public Layer_Base {
public:
    // When true, load waits (polling every 100 ms, no time-out) until Control is pressed. Set by
    // the program before loading; false unless set.
    static bool startGate;

    // Always true. A missing flare picture is named in one WARNING and its quads are drawn
    // untextured.
    bool load(GL_TextureManager* textures, Sync_ControllerList* controllers) override;

    // Keeps the frame delta and lets the level follow a tenth of the sum of the first 32 spectrum
    // bands (time constant 0.1 s). A frame without a spectrum counts as silence.
    void update(const Demo_FrameTime& frameTime) override;

    // Advances the program-wide light phase and draws the lights into the current target. Leaves
    // blending off, depth writes off, clear colour (0, 0, 0, 1), unit 0 active with no texture and
    // its own perspective projection.
    void render() override;

    void unload() override {}

    float level() const { return musicLevel; }

private:
    GL_Texture* beam = nullptr;  // "flare1.png", borrowed from the texture manager; none when missing
    GL_Texture* glow = nullptr;  // "flare2.png", borrowed; none when missing
    Sync_Controller* intensity = nullptr;  // "stagelight"
    Sync_Controller* swing = nullptr;      // "rotate stagelight"
    Sync_Controller* phaseRate = nullptr;  // "change stagelight"
    float frameDelta = 0;   // seconds, from the latest update
    float musicLevel = 0;
};

}  // namespace tavoFramework
