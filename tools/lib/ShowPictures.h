// The show's pictures, drawn by code: the loading card, the distortion noise, the two light
// textures, the prompter's ball and the editor's fourteen buttons.
#pragma once

#include <string>
#include <vector>

#include "tools/lib/PngImage.h"

namespace tavoFramework {

struct ShowPicture {
    std::string path;  // relative to resources/, as it lies on disk ("editor/button-play.png")
    PngImage image;
};

namespace pictures {

// The title card behind the loading frames: 1024 x 576 RGB, the whole viewport.
PngImage loadingCard();
// Smooth noise that tiles in both directions, independent in red and green, blue 0: 256 x 256
// RGB. Its values average 0.5, so the distortion it drives averages no shift.
PngImage distortionNoise();
// The beam of a stage light: bright at the top centre, widening and fading downwards and to
// the sides, black at every border: 256 x 256 RGB.
PngImage beam();
// The soft glow around a stage light: a round glow near the top, black at every border:
// 256 x 256 RGB.
PngImage glow();
// The prompter's hopping point: a glowing ball on transparent ground, 64 x 64 RGBA.
PngImage ball();
// An editor button, 64 x 64 RGBA: `name` is the part of the file name after "button-"
// ("linear", "man-valzero", "play", ...). An unknown name draws an empty button.
PngImage editorButton(const std::string& name);

// The names of the fourteen editor buttons, in the editor's order.
const std::vector<std::string>& editorButtonNames();

// Every picture above with its path under resources/ (the karaoke sheet's pictures excepted).
std::vector<ShowPicture> all();

}  // namespace pictures

}  // namespace tavoFramework
