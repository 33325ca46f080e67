// The one include for OpenGL and GLU. libepoxy resolves every entry point (core, the
// framebuffer-object and shader-object extensions) for whichever context is current, GLX or EGL.
#pragma once

#include <epoxy/gl.h>  // GL 2.x entry points and enumerants, extensions included
#include <GL/glu.h>    // gluPerspective, gluOrtho2D, gluLookAt
