// The process-wide stack of framebuffer textures that drawing goes into; the top entry is the
// current target, and an empty stack means the window. Entries are borrowed.
#include "gl/FboStack.h"

#include <vector>

#include "gl/GL_FBOTexture.h"
#include "runtime/Trace.h"

namespace tavoFramework {

namespace {
std::vector<GL_FBOTexture*> fboStack;
}  // namespace

void beginFbo(GL_FBOTexture* fbo)
{
    glBindFramebuffer(GL_FRAMEBUFFER, fbo->framebuffer);
    glPushAttrib(GL_VIEWPORT_BIT);
    glViewport(0, 0, fbo->width, fbo->height);
    pushFbo(fbo);
}

// Pops whatever is on top, whether or not it is `fbo`.
void endFbo(GL_FBOTexture* fbo)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (fbo->resolveFramebuffer != GL_FBOTexture::noResolveFramebuffer) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo->framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo->resolveFramebuffer);
        glBlitFramebuffer(0, 0, fbo->width, fbo->height, 0, 0, fbo->width, fbo->height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    glPopAttrib();
    popFbo();
}

void pushFbo(GL_FBOTexture* fbo)
{
    fboStack.push_back(fbo);
}

void popFbo()
{
    if (fboStack.empty()) {
        Trace::write(CRITICAL, "fboStack", "destroyed!");
        return;
    }
    fboStack.pop_back();
    if (!fboStack.empty())
        glBindFramebufferEXT(GL_FRAMEBUFFER, fboStack.back()->framebuffer);
}

}  // namespace tavoFramework
