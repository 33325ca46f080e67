// One textured quad over the whole current viewport, drawn with its own projection.
#pragma once

namespace tavoFramework {

// flip false: texture row 0 at the bottom (framebuffer textures); true: at the top (image files).
// Sets no colour, texture or blend state; leaves both matrices as they were, modelview current.
void drawScreenQuad(bool flip);

}  // namespace tavoFramework
