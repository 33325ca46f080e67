// One GLSL program built from a vertex and a fragment source, reported step by step to the trace
// under the shader's name. Users make `program` current themselves (glUseProgram).
#pragma once

#include <vector>

#include "platform/OpenGL.h"

namespace tavoFramework {

class GL_Shader {
public:
    GL_Shader() = default;
    virtual ~GL_Shader();  // deletes the shaders and the program, only while a context is current
    GL_Shader(const GL_Shader&) = delete;  // the object owns its GL names
    GL_Shader& operator=(const GL_Shader&) = delete;

    // Either source may be null, which skips that stage.
    void create(const char* name, const char* vertexSource, const char* fragmentSource);
    bool compileAndAttach(GLenum type, const char* name, const char* source);

    // Location of a uniform, -1 (with a WARNING) when the program has none of that name.
    GLint uniformLocation(const char* uniformName);

    // Deletes the listed shaders, then the program, and leaves the object empty (program 0, no
    // shaders, not usable), so nothing is deleted twice. Needs the context current.
    void release();

    GLuint program = 0;
    bool usable = false;
    std::vector<GLuint> shaders;  // attached shader objects, in attach order
    char name[512] = {};          // at most 511 characters; longer names are cut
};

}  // namespace tavoFramework
