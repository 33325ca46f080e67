// The depth pass in the running program: registered but not scheduled, it is loaded and released
// with the other layers and never drawn.
#include <gtest/gtest.h>

#include <string>

#include "gl/GL_TextureManager.h"
#include "layers/Layer_DepthRenderer.h"
#include "platform/GL_Window.h"
#include "runtime/Demo.h"
#include "sync/Sync_ControllerList.h"
#include "tests/support/TraceCapture.h"
#include "tests/layers/SceneTestScenes.h"

using namespace tavoFramework;

namespace {

// A scheduled layer that lets the main loop draw a few frames, then ends the show.
class FrameProbe : public Layer_Base {
public:
    explicit FrameProbe(int& frames) : frames(frames) {}
    bool load(GL_TextureManager*, Sync_ControllerList*) override { return true; }
    void update(const Demo_FrameTime&) override {}
    void render() override
    {
        if (++frames == 3)
            platform::postQuitMessage(0);
    }
    void unload() override {}

private:
    int& frames;
};

}  // namespace

TEST(DepthRendererInTheShow, IsLoadedAndReleasedButNeverDrawn)
{
    GL_Window window;
    ASSERT_TRUE(window.create("oru", 320, 180, 1.77f, false, demoWindowProcedure));
    tavoTest::TraceCapture trace;
    Sync_ControllerList controllers;
    Demo demo;
    demo.textures = new GL_TextureManager;
    demo.controllers = &controllers;

    int frames = 0;
    demo.addLayer("probe", new FrameProbe(frames));
    depthRenderer = new Layer_DepthRenderer;
    demo.addLayer("depthPass", depthRenderer);
    ASSERT_TRUE(demo.schedule("probe", 0));

    // A morphing scene waits in the queue: drawing it would write the morphed arrays.
    std::unique_ptr<GL_MemTexture> texture = tavoTest::makeTexture({255, 255, 255}, 3);
    Scene_Builder builder;
    builder.addCameraKey(tavoTest::cameraAt(0, 0, 0));
    Scene_Node* node = builder.addNode(nullptr);
    builder.addNodeKey(node, tavoTest::nodeKey(0, 0, 0, 0));
    ASSERT_TRUE(builder.setMesh(node, tavoTest::squareMesh(0, 0, -5, 1, texture.get(), {0, 10}, 1)));
    builder.createBuffers();
    depthRenderer->addScene(builder.scene(), 5.0f / sceneFramesPerSecond);
    const float restingX = node->meshBuffers->morphedPositions[0];

    ASSERT_TRUE(demo.loadLayers(window.window));
    demo.run(window.window);

    EXPECT_EQ(frames, 3);
    EXPECT_EQ(depthRenderer, nullptr) << "the layer was not deleted after the main loop";
    EXPECT_EQ(node->meshBuffers->morphedPositions[0], restingX) << "the queued scene was drawn";

    int created = 0;
    for (const std::string& message : trace.messages()) {
        if (message.rfind("INFO (shaderCompiler): (depthPass) - shader created!", 0) == 0)
            ++created;
        EXPECT_NE(message.rfind("ERROR", 0), 0u) << message;
        EXPECT_NE(message.rfind("CRITICAL", 0), 0u) << message;
    }
    EXPECT_EQ(created, 1);

    builder.releaseBuffers();
    texture->release();
    window.destroy();
}
