// The colour texture of a framebuffer object: drawn into between beginFbo and endFbo, then bound
// like any texture. Multisampled objects draw into renderbuffers and resolve into the texture.
#pragma once

#include "gl/GL_Texture.h"

namespace tavoFramework {

class GL_FBOTexture : public GL_Texture {
public:
    void bind(GLenum unit) override;
    void unbind() override;
    void release() override;  // deletes the framebuffers, renderbuffers and the colour texture

    // Makes the GL objects: sample count 0 renders straight into the texture, any other count into
    // multisampled renderbuffers resolved by endFbo. Reports the framebuffer status to the trace.
    void create(GLint width, GLint height, GLint samples);

    static constexpr GLuint noResolveFramebuffer = static_cast<GLuint>(-1);

    GLuint framebuffer = 0;
    GLuint colorRenderbuffer = 0;        // only when multisampled
    GLuint depthStencilRenderbuffer = 0;
    GLuint resolveFramebuffer = noResolveFramebuffer;  // -1 when not multisampled
    GLenum boundUnit = GL_TEXTURE0;
};

}  // namespace tavoFramework
