// Frames per second of the toolkit's full-screen work on this machine's renderer: the blur at
// strength 1 (21 passes) for a 1280 x 720 window, and one shaded full-screen quad at 1920 x 1080.
// Each frame ends with glFinish, so the time is the renderer's, not the queue's.
#include <benchmark/benchmark.h>

#include "gl/Blur.h"
#include "gl/FboStack.h"
#include "gl/GL_FBOTexture.h"
#include "gl/GL_Shader.h"
#include "gl/ScreenQuad.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;

namespace {

// A picture to work on: colour bands and a bright square, so the passes read varied texels.
void paintSource(GL_FBOTexture& source)
{
    beginFbo(&source);
    glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    for (int band = 0; band < 8; ++band) {
        glScissor(band * source.width / 8, 0, source.width / 16, source.height);
        glClearColor(band / 8.0f, 1.0f - band / 8.0f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glScissor(source.width / 3, source.height / 3, source.width / 3, source.height / 3);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    endFbo(&source);
}

void BlurStrength1At1280x720(benchmark::State& state)
{
    tavoTest::GLTestContext context(1280, 720);
    if (!context.valid()) {
        state.SkipWithError("no GL context");
        return;
    }
    initBlur(1280, 720);
    GL_FBOTexture source, destination;
    source.create(1280, 720, 0);
    destination.create(1280, 720, 0);
    paintSource(source);

    for (auto _ : state) {
        applyBlur(&source, 1.0f, &destination);
        glFinish();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    source.release();
    destination.release();
    shutdownBlur();
}

// A grading pass in the manner of the post-processor: a distorted read, saturation and gain.
const char* const gradeVertexSource = R"(void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
)";
const char* const gradeFragmentSource = R"(uniform sampler2D picture;
uniform float phase;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    uv += 0.01 * vec2(sin(uv.y * 40.0 + phase), cos(uv.x * 40.0 + phase));
    vec4 colour = texture2D(picture, uv);
    float luma = dot(colour.rgb, vec3(0.3, 0.59, 0.11));
    gl_FragColor = vec4(mix(vec3(luma), colour.rgb, 1.2) * 1.1, 1.0);
}
)";

void ShadedQuadAt1920x1080(benchmark::State& state)
{
    tavoTest::GLTestContext context(1920, 1080);
    if (!context.valid()) {
        state.SkipWithError("no GL context");
        return;
    }
    GL_FBOTexture picture;
    picture.create(1920, 1080, 0);
    paintSource(picture);
    GL_Shader grade;
    grade.create("benchGrade", gradeVertexSource, gradeFragmentSource);
    const GLint phaseLocation = grade.uniformLocation("phase");

    glViewport(0, 0, 1920, 1080);
    picture.bind(GL_TEXTURE0);
    glUseProgram(grade.program);
    float phase = 0.0f;
    for (auto _ : state) {
        glUniform1f(phaseLocation, phase += 0.01f);
        drawScreenQuad(false);
        glFinish();
    }
    glUseProgram(0);
    picture.unbind();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    picture.release();
}

}  // namespace

BENCHMARK(BlurStrength1At1280x720)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ShadedQuadAt1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
