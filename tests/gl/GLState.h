// Queries of texture-unit state for tests; each leaves the active unit as it found it.
#pragma once

#include "platform/OpenGL.h"

namespace tavoTest {

inline GLenum activeUnit()
{
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    return static_cast<GLenum>(unit);
}

inline bool texturingOn(GLenum unit)
{
    const GLenum before = activeUnit();
    glActiveTexture(unit);
    const bool on = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    glActiveTexture(before);
    return on;
}

inline GLuint textureOn(GLenum unit)
{
    const GLenum before = activeUnit();
    glActiveTexture(unit);
    GLint texture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glActiveTexture(before);
    return static_cast<GLuint>(texture);
}

inline GLuint boundFramebuffer()
{
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    return static_cast<GLuint>(framebuffer);
}

// Texturing off and nothing bound on units 0 and 1, unit 0 active.
inline void resetUnits()
{
    for (GLenum unit : {GL_TEXTURE1, GL_TEXTURE0}) {
        glActiveTexture(unit);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    }
}

}  // namespace tavoTest
