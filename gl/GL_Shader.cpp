// GLSL programs from source text, with every step reported under the shader's name.
#include "gl/GL_Shader.h"

#include <cstring>

#include "platform/Platform.h"
#include "runtime/Trace.h"

namespace tavoFramework {

namespace {
constexpr GLsizei logSize = 4096;  // info logs are cut to 4095 characters
}  // namespace

// Without a current context (static objects ending after the window has gone) the GL objects have
// gone with the context, and no GL call may be made.
GL_Shader::~GL_Shader()
{
    if (platform::glContextCurrent())
        release();
    shaders.clear();
}

void GL_Shader::release()
{
    for (GLuint shader : shaders)
        glDeleteShader(shader);
    glDeleteProgram(program);
    shaders.clear();
    program = 0;
    usable = false;
}

// Longer names are cut to the 511 characters the name field holds.
void GL_Shader::create(const char* name, const char* vertexSource, const char* fragmentSource)
{
    program = glCreateProgram();
    std::strncpy(this->name, name, sizeof this->name - 1);
    this->name[sizeof this->name - 1] = '\0';
    if (!glIsProgram(program)) {
        Trace::write(ERROR, "shaderCompiler", "(%s) - unable to create shader basics", this->name);
        return;
    }

    usable = true;
    if (vertexSource)
        usable = usable && compileAndAttach(GL_VERTEX_SHADER, this->name, vertexSource);
    if (fragmentSource)
        usable = usable && compileAndAttach(GL_FRAGMENT_SHADER, this->name, fragmentSource);

    // The link status is not asked for: a link failure reaches the trace only as the log text.
    glLinkProgram(program);
    if (usable) {
        char log[logSize] = {};
        glGetInfoLogARB(program, logSize, nullptr, log);
        Trace::write(INFO, "shaderCompiler", "(%s) - shader created! (Log: %s)", this->name, log);
    } else {
        Trace::write(ERROR, "shaderCompiler", "(%s) - Unable to compile shader!", this->name);
        glDeleteProgram(program);
        program = 0;
        usable = false;
    }
}

// A stage that does not compile is deleted at once: it is neither attached nor listed.
bool GL_Shader::compileAndAttach(GLenum type, const char* name, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSourceARB(shader, 1, &source, nullptr);
    glCompileShaderARB(shader);
    GLint compiled = 0;
    glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
    if (compiled == 0) {
        char log[logSize] = {};
        glGetInfoLogARB(shader, logSize, nullptr, log);
        Trace::write(WARNING, "shaderCompiler", "(%s) - Unable to compile shader source: %s", name, log);
        glDeleteShader(shader);
        return false;
    }
    glAttachShader(program, shader);
    shaders.push_back(shader);
    return true;
}

GLint GL_Shader::uniformLocation(const char* uniformName)
{
    const GLint location = glGetUniformLocation(program, uniformName);
    if (location == -1)
        Trace::write(WARNING, "shaderAccess", "unable to retrieve the following uniform variable: %s for shader: %s",
                     uniformName, name);
    return location;
}

}  // namespace tavoFramework
