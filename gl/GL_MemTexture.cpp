// Textures from pixel data in memory.
#include "gl/GL_MemTexture.h"

namespace tavoFramework {

void GL_MemTexture::bind(GLenum unit)
{
    bindOnUnit(unit, textureId);
    boundUnit = unit;
}

void GL_MemTexture::unbind()
{
    unbindOnUnit(boundUnit);
}

// The name goes back to 0 so that a second release deletes nothing that GL has handed out again.
void GL_MemTexture::release()
{
    glDeleteTextures(1, &textureId);
    textureId = 0;
}

void GL_MemTexture::upload(const unsigned char* pixels, GLint width, GLint height, GLenum format, GLint wrapS, GLint wrapT)
{
    this->width = width;
    this->height = height;
    this->format = format;

    glEnable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
    // The rows are packed without padding; GL's default 4-byte row alignment would read past the
    // end of an RGB image whose row length is no multiple of 4. The caller's setting comes back.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    glPopClientAttrib();
    glDisable(GL_TEXTURE_2D);
}

}  // namespace tavoFramework
