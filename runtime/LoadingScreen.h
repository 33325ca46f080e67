// The picture shown between layers while they load.
#pragma once

namespace tavoFramework {

class GL_Texture;

class LoadingScreen {
public:
    virtual ~LoadingScreen() {}  // the picture belongs to the texture manager

    // Draws the picture upright, in white, over the whole viewport; nothing without a picture.
    // Leaves unit 0 active with no texture, the colour white and the modelview matrix current.
    void draw();

    GL_Texture* picture = nullptr;  // borrowed from the texture manager; none when it did not load
};

}  // namespace tavoFramework
