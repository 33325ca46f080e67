// The post-processor: capture, then grade (colour modulation, glow, inverse glow, inversion,
// saturation, contrast), distort through a distortion picture, blur, overlay and fade.
#include "layers/Layer_PP.h"

#include "gl/Blur.h"
#include "gl/FboStack.h"
#include "gl/GL_TextureManager.h"
#include "gl/ScreenQuad.h"
#include "runtime/Trace.h"
#include "sync/Sync_ControllerList.h"

namespace tavoFramework {

namespace {

const char* const module = "postprocessor";
const char* const distortionFile = "data\\textures\\distortion.png";

const char* const vertexSource =
    "void main()\n"
    "{\n"
    "    gl_FrontColor = gl_Color;\n"
    "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
    "    gl_Position = ftransform();\n"
    "}\n";

// The green lookup takes three arguments: an offset equal in x and y, and a level-of-detail bias.
const char* const fragmentSource =
    "uniform sampler2D base_tex;\n"
    "uniform sampler2D distort_tex;\n"
    "uniform float color_r, color_g, color_b;\n"
    "uniform float brighten;\n"
    "uniform float darken;\n"
    "uniform float saturation;\n"
    "uniform float contrast;\n"
    "uniform float invert;\n"
    "uniform float distort;\n"
    "uniform float distort_pixel;\n"
    "uniform float distort_pixel_anim;\n"
    "\n"
    "void main()\n"
    "{\n"
    "    vec3 luminance = vec3(0.2125, 0.7154, 0.0721);\n"
    "    vec3 avg_luminance = vec3(0.5, 0.5, 0.5);\n"
    "    vec2 dist = texture2D(distort_tex, gl_TexCoord[0].xy + vec2(0.0, distort_pixel_anim)).xy * vec2(2.0, 2.0) - vec2(1.0, 1.0);\n"
    "    vec2 t = gl_TexCoord[0].xy + dist * distort_pixel;\n"
    "    vec3 ocol, col;\n"
    "    ocol = texture2D(base_tex, t).rgb;\n"
    "    col = ocol;\n"
    "    col.r = texture2D(base_tex, t + vec2(col.r / 50.0, sin(col.r * 2.0) / 20.0) * distort).r;\n"
    "    col.g = texture2D(base_tex, t + vec2(col.g / 20.0) * distort, cos(col.g * 2.0) / 50.0).g;\n"
    "    col.b = texture2D(base_tex, t - vec2(-cos(col.g * 10.0 + t.y * 2.0 + distort) / 2.5 - col.r, -col.b / 20.0) * distort * 2.0).b;\n"
    "    // image brightness (glow)\n"
    "    col.rgb *= brighten;\n"
    "    col.rgb = clamp(col.rgb, 0.0, 1.0);\n"
    "    // image darkness (inverse glow)\n"
    "    col.r = 1.0 - clamp((1.0 - col.r) * darken, 0.0, 1.0);\n"
    "    col.g = 1.0 - clamp((1.0 - col.g) * darken, 0.0, 1.0);\n"
    "    col.b = 1.0 - clamp((1.0 - col.b) * darken, 0.0, 1.0);\n"
    "    // color inversion\n"
    "    col.rgb = col.rgb * (vec3(1.0) - invert) + (vec3(1.0) - col.rgb) * invert;\n"
    "    // saturation\n"
    "    vec3 i_col = vec3(dot(col, luminance)); // calc intensity\n"
    "    col = mix(i_col,col, saturation); // calc saturation\n"
    "    col = mix(avg_luminance, col, contrast); // calc contrast\n"
    "    // color correction\n"
    "    col.r *= color_r;\n"
    "    col.g *= color_g;\n"
    "    col.b *= color_b;\n"
    "    gl_FragColor.rgb = col.rgb;\n"
    "}\n";

constexpr int blurSize = 512;
constexpr int lowPixelSize = 64;

// Blends the colour (v, v, v) over the whole target with the given factors, untextured or
// through the texture the caller has bound to unit 0.
void drawBlendedQuad(GLenum source, GLenum destination, float v)
{
    glEnable(GL_BLEND);
    glBlendFunc(source, destination);
    glColor3f(v, v, v);
    drawScreenQuad(false);
    glDisable(GL_BLEND);
}

}  // namespace

Layer_PP::Layer_PP(int captureWidth, int captureHeight, int sampleCount)
    : captureWidth(captureWidth), captureHeight(captureHeight), sampleCount(sampleCount)
{
}

bool Layer_PP::load(GL_TextureManager* textures, Sync_ControllerList* controllers)
{
    scene.create(captureWidth, captureHeight, sampleCount);
    blurSource.create(blurSize, blurSize, 1);
    blurTarget.create(blurSize, blurSize, 1);
    lowPixel.create(lowPixelSize, lowPixelSize, 1);

    postShader.create("postprocessor", vertexSource, fragmentSource);

    distortion = textures->getTexture(distortionFile, GL_REPEAT, GL_REPEAT);
    if (!distortion)
        Trace::write(WARNING, module, "unable to load file: %s", distortionFile);

    phase = 0;

    // "base_tex" is never set and so reads unit 0.
    glUseProgram(postShader.program);
    glUniform1i(postShader.uniformLocation("distort_tex"), 1);
    glUseProgram(0);

    colorR = postShader.uniformLocation("color_r");
    colorG = postShader.uniformLocation("color_g");
    colorB = postShader.uniformLocation("color_b");
    brighten = postShader.uniformLocation("brighten");
    darken = postShader.uniformLocation("darken");
    saturation = postShader.uniformLocation("saturation");
    contrast = postShader.uniformLocation("contrast");
    invert = postShader.uniformLocation("invert");
    distort = postShader.uniformLocation("distort");
    distortPixel = postShader.uniformLocation("distort_pixel");
    distortPixelAnim = postShader.uniformLocation("distort_pixel_anim");

    blurFactor = controllers->findOrCreate("Postprocessor: blur factor");
    redModulation = controllers->findOrCreate("Postprocessor: red color modulation");
    greenModulation = controllers->findOrCreate("Postprocessor: green color modulation");
    blueModulation = controllers->findOrCreate("Postprocessor: blue color modulation");
    invertColors = controllers->findOrCreate("Postprocessor: invert colors");
    saturationBoost = controllers->findOrCreate("Postprocessor: saturation");
    desaturation = controllers->findOrCreate("Postprocessor: desaturation");
    contrastBoost = controllers->findOrCreate("Postprocessor: contrast");
    brightness = controllers->findOrCreate("Postprocessor: brightness");
    darkness = controllers->findOrCreate("Postprocessor: darkness");
    rgbDistortion = controllers->findOrCreate("Postprocessor: rgb distortion");
    pixelDistortion = controllers->findOrCreate("Postprocessor: pixel distortion");
    pixelDistortionAnim = controllers->findOrCreate("Postprocessor: pixel distortion anim");
    fadeToBlack = controllers->findOrCreate("Postprocessor: fade to black");
    fadeToWhite = controllers->findOrCreate("Postprocessor: fade to white");
    postFadeout = controllers->findOrCreate("Postprocessor: post fadeout");
    baseFadein = controllers->findOrCreate("Postprocessor: base fadein");
    lowpixelPost = controllers->findOrCreate("Postprocessor: lowpixel post");

    return scene.framebuffer != 0 && glIsFramebuffer(scene.framebuffer) == GL_TRUE;
}

void Layer_PP::update(const Demo_FrameTime& frameTime)
{
    (void)frameTime;
}

void Layer_PP::render()
{
    if (phase == 0)
        beginCapture();
    else
        finishCapture();
    phase = 1 - phase;
}

// The capture stays bound after this returns: the layers up to the second use draw into it.
void Layer_PP::beginCapture()
{
    beginFbo(&scene);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Layer_PP::finishCapture()
{
    const bool blur = blurFactor->value > 0;
    const bool lowPixelCopy = lowpixelPost->value > 0;

    endFbo(&scene);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1, 1, 1);

    // The shaded capture goes to the previous target, or through the blur when it is on.
    if (blur) {
        beginFbo(&blurSource);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    if (distortion)
        distortion->bind(GL_TEXTURE1);
    scene.bind(GL_TEXTURE0);
    glUseProgram(postShader.program);
    setUniforms();
    drawScreenQuad(false);
    glUseProgram(0);
    if (distortion)
        distortion->unbind();
    scene.unbind();

    if (blur) {
        endFbo(&blurSource);
        applyBlur(&blurSource, blurFactor->value, &blurTarget);
        blurTarget.bind(GL_TEXTURE0);
        glColor3f(1, 1, 1);
        drawScreenQuad(false);
        blurTarget.unbind();
    }

    // The low-resolution copy takes the capture as it was before shading.
    if (lowPixelCopy)
        drawTextureToFbo(&lowPixel, &scene);

    // Darkens the shaded picture towards black, before the additive overlays.
    drawBlendedQuad(GL_DST_COLOR, GL_ZERO, 1.0f - postFadeout->value);

    if (baseFadein->value > 0) {
        scene.bind(GL_TEXTURE0);
        drawBlendedQuad(GL_ONE, GL_ONE, baseFadein->value);
        scene.unbind();
    }
    if (lowPixelCopy) {
        lowPixel.bind(GL_TEXTURE0);
        drawBlendedQuad(GL_ONE, GL_ONE, lowpixelPost->value);
        lowPixel.unbind();
    }

    // The multiply comes first, so both fades at 1 give white.
    drawBlendedQuad(GL_DST_COLOR, GL_ZERO, 1.0f - fadeToBlack->value);
    drawBlendedQuad(GL_ONE, GL_ONE, fadeToWhite->value);
}

// Values computed in double precision, passed as single floats.
void Layer_PP::setUniforms()
{
    const double saturationValue =
        (1.0 - desaturation->value) * (20.0 * static_cast<double>(saturationBoost->value) + 1.0);
    glUniform1f(colorR, static_cast<float>(1.0 - redModulation->value));
    glUniform1f(colorG, static_cast<float>(1.0 - greenModulation->value));
    glUniform1f(colorB, static_cast<float>(1.0 - blueModulation->value));
    glUniform1f(brighten, static_cast<float>(10.0 * brightness->value + 1.0));
    glUniform1f(darken, static_cast<float>(10.0 * darkness->value + 1.0));
    glUniform1f(saturation, static_cast<float>(saturationValue));
    glUniform1f(contrast, static_cast<float>(10.0 * contrastBoost->value + 1.0));
    glUniform1f(invert, invertColors->value);
    glUniform1f(distort, rgbDistortion->value);
    glUniform1f(distortPixel, pixelDistortion->value);
    glUniform1f(distortPixelAnim, pixelDistortionAnim->value);
}

}  // namespace tavoFramework
