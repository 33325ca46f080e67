// The unit handling every texture kind shares.
#include "gl/GL_Texture.h"

namespace tavoFramework {

void GL_Texture::bindOnUnit(GLenum unit, GLuint texture)
{
    glEnable(GL_TEXTURE_2D);
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
}

void GL_Texture::unbindOnUnit(GLenum unit)
{
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace tavoFramework
