// A 2D texture as layers see it: bind to a unit, unbind, release. Units are enumerants
// (GL_TEXTURE0 + n), never indices.
#pragma once

#include "platform/OpenGL.h"

namespace tavoFramework {

class GL_Texture {
public:
    virtual ~GL_Texture() {}  // deletes no GL object; the holder calls release first (or never)

    virtual void bind(GLenum unit) = 0;
    virtual void unbind() = 0;
    virtual void release() = 0;

    GLuint textureId = 0;
    GLint width = 32;    // texels
    GLint height = 32;   // texels
    GLenum format = 0;   // GL_RGB or GL_RGBA once it holds an image

protected:
    // The GL side of bind and unbind, shared by every kind of texture. Binding enables 2D
    // texturing before it switches units, so the enable lands on the unit active before the call;
    // unbinding leaves `unit` active and 2D texturing as it was.
    static void bindOnUnit(GLenum unit, GLuint texture);
    static void unbindOnUnit(GLenum unit);
};

}  // namespace tavoFramework
