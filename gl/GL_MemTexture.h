// A texture made from pixel data in memory (the texture manager makes one per image file).
#pragma once

#include "gl/GL_Texture.h"

namespace tavoFramework {

class GL_MemTexture : public GL_Texture {
public:
    void bind(GLenum unit) override;
    void unbind() override;
    void release() override;

    // pixels: width x height x (3 for GL_RGB, 4 for GL_RGBA) bytes, rows without gaps; the first row
    // becomes texture row t = 0. Leaves unit 0 active with this texture bound and texturing off there.
    void upload(const unsigned char* pixels, GLint width, GLint height, GLenum format, GLint wrapS, GLint wrapT);

    GLenum boundUnit = GL_TEXTURE0;
};

}  // namespace tavoFramework
