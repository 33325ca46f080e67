// Render targets nest: beginFbo pushes a framebuffer texture and saves the viewport, endFbo
// resolves, restores the viewport and binds the framebuffer below again (the window's when none).
#pragma once

namespace tavoFramework {

class GL_FBOTexture;

void beginFbo(GL_FBOTexture* fbo);
void endFbo(GL_FBOTexture* fbo);
void pushFbo(GL_FBOTexture* fbo);
void popFbo();  // on an empty stack: CRITICAL "destroyed!" and no change

}  // namespace tavoFramework
