// Shader programs: one-stage programs that draw, compile and link failures with their messages,
// uniform look-up, long names, deletion.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "gl/GL_Shader.h"
#include "platform/Platform.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using namespace tavoTest;

namespace {

const char* const passVertex = "void main() { gl_FrontColor = gl_Color; gl_Position = ftransform(); }";
const char* const greenVertex = "void main() { gl_FrontColor = vec4(0.0, 1.0, 0.0, 1.0); gl_Position = ftransform(); }";
const char* const blueFragment = "void main() { gl_FragColor = vec4(0.0, 0.0, 1.0, 1.0); }";
const char* const brokenFragment = "void main() { gl_FragColor = undeclared; }";

void drawRedQuad()
{
    glColor3f(1, 0, 0);
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
}

bool startsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

TEST(Shader, OneStageProgramsBuildAndDraw)
{
    GLTestContext context(4, 4);
    ASSERT_TRUE(context.valid());
    const struct {
        const char* name;
        const char* vertex;
        const char* fragment;
        std::array<std::uint8_t, 4> drawn;  // a red quad drawn with the program
    } cases[] = {
        {"fragmentOnly", nullptr, blueFragment, {0, 0, 255, 255}},
        {"vertexOnly", greenVertex, nullptr, {0, 255, 0, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TraceCapture trace;
        GL_Shader shader;
        shader.create(c.name, c.vertex, c.fragment);
        EXPECT_TRUE(shader.usable);
        EXPECT_NE(shader.program, 0u);
        EXPECT_EQ(shader.shaders.size(), 1u);
        const std::vector<std::string> messages = trace.messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(startsWith(messages[0], std::string("INFO (shaderCompiler): (") + c.name + ") - shader created! (Log: "))
            << messages[0];

        glClear(GL_COLOR_BUFFER_BIT);
        glUseProgram(shader.program);
        drawRedQuad();
        glUseProgram(0);
        EXPECT_EQ(readPixel(1, 1), c.drawn);
    }
}

TEST(Shader, ACompileErrorGivesTwoMessagesAndProgramZero)
{
    GLTestContext context(4, 4);
    ASSERT_TRUE(context.valid());
    TraceCapture trace;
    auto shader = std::make_unique<GL_Shader>();
    shader->create("broken", passVertex, brokenFragment);

    EXPECT_FALSE(shader->usable);
    EXPECT_EQ(shader->program, 0u);
    const std::vector<std::string> messages = trace.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(startsWith(messages[0], "WARNING (shaderCompiler): (broken) - Unable to compile shader source: ")) << messages[0];
    EXPECT_NE(messages[0].find("undeclared"), std::string::npos) << "the compile log names the fault: " << messages[0];
    EXPECT_EQ(messages[1], "ERROR (shaderCompiler): (broken) - Unable to compile shader!");

    // The vertex stage compiled: it stays listed until the object goes.
    ASSERT_EQ(shader->shaders.size(), 1u);
    const GLuint vertexShader = shader->shaders[0];
    EXPECT_TRUE(glIsShader(vertexShader));
    shader.reset();
    EXPECT_FALSE(glIsShader(vertexShader));

    // Drawing with program 0 is fixed-function drawing.
    glUseProgram(0);
    glClear(GL_COLOR_BUFFER_BIT);
    drawRedQuad();
    EXPECT_EQ(readPixel(1, 1), (std::array<std::uint8_t, 4>{255, 0, 0, 255}));
}

TEST(Shader, ALinkFailureStillCountsAsCreatedAndCarriesTheLinkLog)
{
    GLTestContext context(4, 4);
    ASSERT_TRUE(context.valid());
    TraceCapture trace;
    GL_Shader shader;
    // Compiles alone; the linker finds no body for the declared function.
    shader.create("unlinked", passVertex, "vec4 shade(); void main() { gl_FragColor = shade(); }");
    EXPECT_TRUE(shader.usable);
    EXPECT_NE(shader.program, 0u);
    GLint linked = 1;
    glGetProgramiv(shader.program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, 0);
    const std::vector<std::string> messages = trace.messages();
    ASSERT_FALSE(messages.empty());
    const std::string start = "INFO (shaderCompiler): (unlinked) - shader created! (Log: ";
    ASSERT_TRUE(startsWith(messages[0], start)) << messages[0];
    EXPECT_GT(messages[0].size(), start.size() + 1) << "the link log is in the message";
}

TEST(Shader, UniformLookUpWarnsOnlyForAMissingName)
{
    GLTestContext context(4, 4);
    ASSERT_TRUE(context.valid());
    GL_Shader shader;
    shader.create("tinted", passVertex, "uniform float tint; void main() { gl_FragColor = vec4(tint); }");
    TraceCapture trace;
    EXPECT_GE(shader.uniformLocation("tint"), 0);
    EXPECT_TRUE(trace.messages().empty());
    EXPECT_EQ(shader.uniformLocation("missing"), -1);
    EXPECT_EQ(trace.messages(), std::vector<std::string>{
                                 "WARNING (shaderAccess): unable to retrieve the following uniform variable: missing for shader: tinted"});
}

TEST(Shader, NamesKeepUpTo511CharactersInEveryMessage)
{
    GLTestContext context(4, 4);
    ASSERT_TRUE(context.valid());
    const std::string longest(511, 'n');
    for (const std::string& given : {longest, longest + "cut"}) {
        TraceCapture trace;
        GL_Shader shader;
        shader.create(given.c_str(), nullptr, brokenFragment);
        shader.uniformLocation("missing");
        EXPECT_EQ(std::string(shader.name), longest);
        const std::vector<std::string> messages = trace.messages();
        ASSERT_EQ(messages.size(), 3u);
        EXPECT_EQ(messages[1], "ERROR (shaderCompiler): (" + longest + ") - Unable to compile shader!");
        EXPECT_EQ(messages[2], "WARNING (shaderAccess): unable to retrieve the following uniform variable: missing for shader: " + longest);
    }
}

TEST(Shader, DestructionDeletesTheProgramAndItsShaders)
{
    GLTestContext context(4, 4);
    ASSERT_TRUE(context.valid());
    auto shader = std::make_unique<GL_Shader>();
    shader->create("pair", passVertex, blueFragment);
    const GLuint program = shader->program;
    const std::vector<GLuint> stages = shader->shaders;
    ASSERT_EQ(stages.size(), 2u);
    shader.reset();
    EXPECT_FALSE(glIsProgram(program));
    for (GLuint stage : stages)
        EXPECT_FALSE(glIsShader(stage));
}

TEST(Shader, AnObjectOutlivingItsContextEndsWithoutGLCalls)
{
    auto shader = std::make_unique<GL_Shader>();
    {
        GLTestContext context(4, 4);
        ASSERT_TRUE(context.valid());
        EXPECT_TRUE(platform::glContextCurrent());
        shader->create("orphan", passVertex, blueFragment);
    }
    EXPECT_FALSE(platform::glContextCurrent());
    shader.reset();  // the names went with the context; nothing is deleted
}

}  // namespace
