// Full-screen passes between framebuffer textures: the copy and the blur. The blur owns two
// half-window buffers and two programs, made by initBlur and deleted by shutdownBlur.
#pragma once

namespace tavoFramework {

class GL_FBOTexture;

void drawTextureToFbo(GL_FBOTexture* target, GL_FBOTexture* source);
void initBlur(int width, int height);  // the window's client size in pixels
void applyBlur(GL_FBOTexture* source, float strength, GL_FBOTexture* destination);
void shutdownBlur();

}  // namespace tavoFramework
