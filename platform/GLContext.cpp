// Whether an OpenGL context is current, as SDL tracks it for the windows it made.
#include "platform/Platform.h"

#include <SDL.h>  // SDL_GL_GetCurrentContext

namespace tavoFramework {
namespace platform {

// SDL answers none when its video part is not running (before start-up or after shut-down).
bool glContextCurrent()
{
    return SDL_GL_GetCurrentContext() != nullptr;
}

}  // namespace platform
}  // namespace tavoFramework
