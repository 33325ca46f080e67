// The loading picture.
#include "runtime/LoadingScreen.h"

#include "gl/GL_Texture.h"
#include "gl/ScreenQuad.h"
#include "platform/OpenGL.h"

namespace tavoFramework {

void LoadingScreen::draw()
{
    if (!picture)
        return;
    picture->bind(GL_TEXTURE0);
    glColor3f(1.0f, 1.0f, 1.0f);
    drawScreenQuad(true);
    picture->unbind();
}

}  // namespace tavoFramework
