// The copy between framebuffer textures and the blur: passes at half the window's resolution that
// alternate between two buffers, each averaging a vertical and a horizontal 7-tap binomial filter.
#include "gl/Blur.h"

#include <climits>

#include "gl/FboStack.h"
#include "gl/GL_FBOTexture.h"
#include "gl/GL_Shader.h"
#include "gl/ScreenQuad.h"

namespace tavoFramework {

namespace {

const char* const passVertexSource = R"(void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
)";

const char* const blurFragmentSource = R"(uniform sampler2D diffuse_tex;
uniform float blur_intensity;

void main()
{
    vec4 outp = vec4(0.0, 0.0, 0.0, 0.0);
    float ddy = 0.009 * blur_intensity;
    float ddx = 0.009 * blur_intensity;
    outp += 0.015625 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(0.0, ddy*-3.0));
    outp += 0.09375 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(0.0, ddy*-2.0));
    outp += 0.234375 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(0.0, ddy*-1.0));
    outp += 0.3125 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(0.0, 0.0));
    outp += 0.234375 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(0.0, ddy*1.0));
    outp += 0.09375 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(0.0, ddy*2.0));
    outp += 0.015625 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(0.0, ddy*3.0));
    outp += 0.015625 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(ddx*-3.0, 0.0));
    outp += 0.09375 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(ddx*-2.0, 0.0));
    outp += 0.234375 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(ddx*-1.0, 0.0));
    outp += 0.3125 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(0.0, 0.0));
    outp += 0.234375 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(ddx*1.0, 0.0));
    outp += 0.09375 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(ddx*2.0, 0.0));
    outp += 0.015625 * texture2D(diffuse_tex, gl_TexCoord[0].xy + vec2(ddx*3.0, 0.0));
    gl_FragColor =  outp * 0.5;
}
)";

// Darkens a picture (unit 1) by 0.6 for each of the four neighbours, xst and yst away, whose
// depth (red of unit 0) differs from the centre's by more than 0.01.
const char* const edgeFragmentSource = R"(uniform sampler2D depth_tex;
uniform sampler2D diffuse_tex;
uniform float blur_intensity;
uniform float xst;
uniform float yst;

void main()
{
    vec4 colo = texture2D(depth_tex, gl_TexCoord[0].xy);
    vec4 diff = texture2D(diffuse_tex, gl_TexCoord[0].xy);
    float a = colo.r;
    float b = texture2D(depth_tex, vec2(gl_TexCoord[0].x + xst, gl_TexCoord[0].y)).r;
    float c = texture2D(depth_tex, vec2(gl_TexCoord[0].x - xst, gl_TexCoord[0].y)).r;
    float d = texture2D(depth_tex, vec2(gl_TexCoord[0].x, gl_TexCoord[0].y + yst)).r;
    float e = texture2D(depth_tex, vec2(gl_TexCoord[0].x, gl_TexCoord[0].y - yst)).r;
    vec3 cl = vec3(1.0, 1.0, 1.0);
    if(abs(b - a) > 0.01) cl *= 0.6;
    if(abs(c - a) > 0.01) cl *= 0.6;
    if(abs(d - a) > 0.01) cl *= 0.6;
    if(abs(e - a) > 0.01) cl *= 0.6;
    float luma = diff.r * 0.5 + diff.g * 0.3 + diff.b * 0.2;
    gl_FragColor.rgb = diff.rgb * cl;
}
)";

// The process-wide blur state. The objects end with the process, after the context: shutdownBlur
// leaves them empty, and GL_Shader makes no GL call without a current context.
GL_FBOTexture firstBuffer;
GL_FBOTexture secondBuffer;
GL_Shader blurProgram;
GL_Shader edgeProgram;
GLint strengthLocation = -1;
GLint xStepLocation = -1;  // the edge program's step uniforms, for passes that draw with it
GLint yStepLocation = -1;

// 1 + 20 x strength, truncated: the cost control of the blur. Negative strengths (and NaN) run
// no pass; counts beyond the int range are held at its top instead of overflowing.
int passCount(float strength)
{
    const double count = static_cast<double>(strength) * 20.0 + 1.0;
    if (!(count >= 0.0))
        return 0;
    return count < static_cast<double>(INT_MAX) ? static_cast<int>(count) : INT_MAX;
}

// One full-buffer draw of the bound texture into `target`, with whatever program is current.
void drawPass(GL_Texture* read, GL_FBOTexture* target)
{
    read->bind(GL_TEXTURE0);
    beginFbo(target);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    drawScreenQuad(false);
    endFbo(target);
    read->unbind();
}

}  // namespace

void drawTextureToFbo(GL_FBOTexture* target, GL_FBOTexture* source)
{
    if (target == source)
        return;
    drawPass(source, target);
}

void initBlur(int width, int height)
{
    const int halfWidth = width / 2;
    const int halfHeight = height / 2;
    firstBuffer.create(halfWidth, halfHeight, 0);
    secondBuffer.create(halfWidth, halfHeight, 0);
    blurProgram.create("vomuBlurShader", passVertexSource, blurFragmentSource);
    edgeProgram.create("vomuSmartBlurShader", passVertexSource, edgeFragmentSource);

    glUseProgram(edgeProgram.program);
    glUniform1i(edgeProgram.uniformLocation("depth_tex"), 0);
    glUniform1i(edgeProgram.uniformLocation("diffuse_tex"), 1);
    glUseProgram(0);

    strengthLocation = blurProgram.uniformLocation("blur_intensity");
    xStepLocation = edgeProgram.uniformLocation("xst");
    yStepLocation = edgeProgram.uniformLocation("yst");
}

// Pass i reads the first buffer and writes the second when i is even, the other way round when
// odd; the copies in and out run outside the blur program, with fixed-function texturing.
void applyBlur(GL_FBOTexture* source, float strength, GL_FBOTexture* destination)
{
    GL_FBOTexture* const buffers[2] = {&firstBuffer, &secondBuffer};
    drawTextureToFbo(&firstBuffer, source);

    glUseProgram(blurProgram.program);
    const int passes = passCount(strength);
    for (int pass = 0; pass < passes; ++pass) {
        glUniform1f(strengthLocation, strength);
        drawPass(buffers[pass % 2], buffers[(pass + 1) % 2]);
    }
    glUseProgram(0);

    // The last pass wrote the second buffer after an odd count, the first after an even one; with
    // no pass the first still holds the copy of the source.
    drawTextureToFbo(destination, buffers[passes % 2]);
}

void shutdownBlur()
{
    firstBuffer.release();
    secondBuffer.release();
    edgeProgram.release();
    blurProgram.release();
    strengthLocation = -1;
    xStepLocation = -1;
    yStepLocation = -1;
}

}  // namespace tavoFramework
