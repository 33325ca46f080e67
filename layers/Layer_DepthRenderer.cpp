// The depth pass: a program that writes eye distance / 250 as grey and discards nearly transparent
// texels, run over each queued scene with the scene drawing's translucent blending turned off.
#include "layers/Layer_DepthRenderer.h"

#include "gl/FboStack.h"
#include "gl/GL_FBOTexture.h"
#include "gl/GL_TextureManager.h"
#include "layers/Scene.h"

namespace tavoFramework {

Layer_DepthRenderer* depthRenderer = nullptr;

namespace {

// The first texture's t coordinate is flipped (1 - t).
const char* const depthVertexSource =
    "varying float depth;\n"
    "\n"
    "void main()\n"
    "{\n"
    "    gl_TexCoord[0].x = gl_MultiTexCoord0.x;\n"
    "    gl_TexCoord[0].y = 1.0 - gl_MultiTexCoord0.y;\n"
    "    depth = length(gl_ModelViewMatrix * gl_Vertex) / 250.0;\n"
    "    gl_Position = ftransform();\n"
    "}\n";

// color_tex is never set, so it reads unit 0, where the scene drawing binds a mesh's first texture.
const char* const depthFragmentSource =
    "uniform sampler2D color_tex;\n"
    "varying float depth;\n"
    "\n"
    "void main()\n"
    "{\n"
    "    vec4 frag_diff = texture2D(color_tex, gl_TexCoord[0].st);\n"
    "    if(frag_diff.a < 0.25)\n"
    "    discard;\n"
    "    gl_FragColor.rgba = vec4(vec3(depth), frag_diff.a);\n"
    "}\n";

}  // namespace

Layer_DepthRenderer::~Layer_DepthRenderer()
{
    if (depthRenderer == this)
        depthRenderer = nullptr;
}

bool Layer_DepthRenderer::load(GL_TextureManager* textures, Sync_ControllerList* controllers)
{
    (void)controllers;
    depthShader.create("depthPass", depthVertexSource, depthFragmentSource);
    // The manager loads an image file when nothing was added under the name; an image texture is
    // no render target.
    depthTarget = dynamic_cast<GL_FBOTexture*>(textures->getTexture("depthPass", GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE));
    return true;
}

void Layer_DepthRenderer::update(const Demo_FrameTime& frameTime)
{
    (void)frameTime;
}

void Layer_DepthRenderer::render()
{
    sceneShader = &depthShader;
    if (depthTarget)
        beginFbo(depthTarget);
    sceneBlendingAllowed = false;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const float ambient[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    const float fogColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_START, 10000.0f);
    glFogf(GL_FOG_END, 12000.0f);
    sceneAlphaReference = 0.0f;
    sceneLightDiffuseAlphaScale = 0.0f;
    sceneLightSpecularAlpha = 0.0f;

    for (const Entry& entry : queue) {
        glClear(GL_DEPTH_BUFFER_BIT);
        drawScene(entry.scene, entry.time);
    }
    queue.clear();

    sceneBlendingAllowed = true;
    if (depthTarget)
        endFbo(depthTarget);
    sceneShader = &defaultSceneShader;
}

void Layer_DepthRenderer::addScene(Scene* scene, float time)
{
    queue.push_back({scene, time});
}

}  // namespace tavoFramework
