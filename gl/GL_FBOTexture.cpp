// Framebuffer textures: making the framebuffer objects behind the colour texture, binding the
// texture like any other, and releasing it all.
#include "gl/GL_FBOTexture.h"

#include <cassert>

#include "runtime/Trace.h"

namespace tavoFramework {

namespace {
// The trace line for a completeness status.
void reportStatus(GLenum status, GLint width, GLint height)
{
    const char* module = "fboCreator";
    switch (status) {
    case GL_FRAMEBUFFER_COMPLETE:
        Trace::write(INFO, module, "FBO successfully created (%d * %d)", width, height);
        return;
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT:
        Trace::write(ERROR, module, "FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT");
        return;
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT:
        Trace::write(ERROR, module, "FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT");
        return;
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
        Trace::write(ERROR, module, "FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT");
        return;
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
        Trace::write(ERROR, module, "FRAMEBUFFER_INCOMPLETE_FORMATS_EXT");
        return;
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER:
        Trace::write(ERROR, module, "FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT");
        return;
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER:
        Trace::write(ERROR, module, "FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT");
        return;
    case GL_FRAMEBUFFER_UNSUPPORTED:
        Trace::write(ERROR, module, "FRAMEBUFFER_UNSUPPORTED_EXT");
        return;
    default:
        Trace::write(WARNING, module, "glCheckFramebufferStatusEXT: unknown return");
        return;
    }
}

}  // namespace

void GL_FBOTexture::bind(GLenum unit)
{
    bindOnUnit(unit, textureId);
    boundUnit = unit;
}

void GL_FBOTexture::unbind()
{
    unbindOnUnit(boundUnit);
}

// Besides the framebuffers and renderbuffers, the colour texture goes too: the object owns it and
// nothing else deletes it. Names go back to their unmade values so a second release deletes nothing.
void GL_FBOTexture::release()
{
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &depthStencilRenderbuffer);
    glDeleteFramebuffers(1, &framebuffer);
    if (resolveFramebuffer != noResolveFramebuffer) {
        glDeleteRenderbuffers(1, &colorRenderbuffer);
        glDeleteFramebuffers(1, &resolveFramebuffer);
    }
    glDeleteTextures(1, &textureId);
    depthStencilRenderbuffer = 0;
    framebuffer = 0;
    colorRenderbuffer = 0;
    resolveFramebuffer = noResolveFramebuffer;
    textureId = 0;
}

// Leaves 2D texturing enabled on the active unit and nothing bound.
void GL_FBOTexture::create(GLint width, GLint height, GLint samples)
{
    assert(samples >= 0 && "GL_FBOTexture::create: the sample count is 0 (single-sample) or a count of samples");
    this->width = width;
    this->height = height;
    format = GL_RGB;

    glEnable(GL_TEXTURE_2D);
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glGenFramebuffers(1, &framebuffer);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);

    if (samples == 0) {
        // Drawing goes straight into the texture.
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textureId, 0);
        glGenRenderbuffers(1, &depthStencilRenderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, depthStencilRenderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthStencilRenderbuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencilRenderbuffer);
        resolveFramebuffer = noResolveFramebuffer;
    } else {
        // Drawing goes into multisampled renderbuffers; endFbo resolves them into the texture,
        // which is the colour attachment of the resolve framebuffer.
        glGenRenderbuffers(1, &colorRenderbuffer);
        glGenFramebuffers(1, &resolveFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textureId, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, colorRenderbuffer);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGB, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorRenderbuffer);
        glGenRenderbuffers(1, &depthStencilRenderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, depthStencilRenderbuffer);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH24_STENCIL8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthStencilRenderbuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencilRenderbuffer);
    }

    const GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    reportStatus(status, width, height);
}

}  // namespace tavoFramework
