// The full-screen quad: one textured quad over the current viewport in a 0..1 projection whose
// y grows downwards, so (0, 0) is the top-left corner of the viewport.
#include "gl/ScreenQuad.h"

#include "platform/OpenGL.h"

namespace tavoFramework {

void drawScreenQuad(bool flip)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, 1, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    // Texture row 0 at the bottom edge (framebuffer pictures) unless flipped to the top (image files).
    const float bottomT = flip ? 1.0f : 0.0f;
    const float topT = flip ? 0.0f : 1.0f;
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, bottomT);
    glVertex2f(0.0f, 1.0f);
    glTexCoord2f(1.0f, bottomT);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(1.0f, topT);
    glVertex2f(1.0f, 0.0f);
    glTexCoord2f(0.0f, topT);
    glVertex2f(0.0f, 0.0f);
    glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

}  // namespace tavoFramework
