// The post-processor: scheduled twice a frame. Its first use redirects the drawing of the layers
// between the two into a capture framebuffer; its second grades and distorts the capture onto the
// previous target, then optionally blurs it, overlays copies of it and fades it.
#pragma once

#include "gl/GL_FBOTexture.h"
#include "gl/GL_Shader.h"
#include "runtime/Layer_Base.h"

namespace tavoFramework {

class GL_Texture;
class Sync_Controller;

class Layer_PP : public Layer_Base {
public:
    // The capture's size in pixels (the window's resolution) and its multisample count (0: none).
    // Makes no GL object.
    Layer_PP(int captureWidth, int captureHeight, int sampleCount);

    // Makes the framebuffers and the shader and finds the uniforms and the eighteen controllers.
    // True when the capture framebuffer exists. Without the distortion picture nothing is bound at
    // unit 1 (one WARNING names the file) and the layer goes on.
    bool load(GL_TextureManager* textures, Sync_ControllerList* controllers) override;
    void update(const Demo_FrameTime& frameTime) override;

    // Alternates on every call: the first begins the capture (its framebuffer stays bound), the
    // second finishes it onto the previous target. Afterwards depth test and blending are off,
    // no program is current and unit 0 is active with no texture on units 0 and 1.
    void render() override;
    void unload() override {}

    // Destroying the layer releases no framebuffer: their GL objects end with the window's context.

private:
    void beginCapture();
    void finishCapture();
    void setUniforms();

    GL_FBOTexture scene;      // the capture, capture size
    GL_FBOTexture lowPixel;   // 64 x 64 copy of the capture
    GL_Texture* distortion = nullptr;  // borrowed from the texture manager; none when missing
    GL_Shader postShader;
    int phase = 0;            // 0: the next render begins the capture; 1: it finishes it
    int captureWidth;
    int captureHeight;
    int sampleCount;

    // Uniform locations of the post shader, -1 where the lookup failed.
    GLint colorR = -1, colorG = -1, colorB = -1, brighten = -1, darken = -1, saturation = -1,
          contrast = -1, invert = -1, distort = -1, distortPixel = -1, distortPixelAnim = -1;

    // The eighteen controllers, borrowed from the controller list.
    Sync_Controller* blurFactor = nullptr;
    Sync_Controller* redModulation = nullptr;
    Sync_Controller* greenModulation = nullptr;
    Sync_Controller* blueModulation = nullptr;
    Sync_Controller* invertColors = nullptr;
    Sync_Controller* saturationBoost = nullptr;
    Sync_Controller* desaturation = nullptr;
    Sync_Controller* contrastBoost = nullptr;
    Sync_Controller* brightness = nullptr;
    Sync_Controller* darkness = nullptr;
    Sync_Controller* rgbDistortion = nullptr;
    Sync_Controller* pixelDistortion = nullptr;
    Sync_Controller* pixelDistortionAnim = nullptr;
    Sync_Controller* fadeToBlack = nullptr;
    Sync_Controller* fadeToWhite = nullptr;
    Sync_Controller* postFadeout = nullptr;
    Sync_Controller* baseFadein = nullptr;
    Sync_Controller* lowpixelPost = nullptr;

    GL_FBOTexture blurSource;  // 512 x 512, receives the shaded picture when blur is on
    GL_FBOTexture blurTarget;  // 512 x 512, receives the blurred picture
};

}  // namespace tavoFramework
