// The depth pass on real OpenGL: grey levels of distance, cut-outs, the queue, and where the
// picture goes depending on what the texture manager holds under "depthPass".
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gl/GL_FBOTexture.h"
#include "gl/GL_TextureManager.h"
#include "layers/Layer_DepthRenderer.h"
#include "tests/support/TraceCapture.h"
#include "tests/layers/SceneTestScenes.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using tavoTest::cameraAt;
using tavoTest::makeTexture;
using tavoTest::readPixel;
using tavoTest::squareMesh;

namespace {

constexpr int size = 64;
constexpr float fieldOfView = 10.0f;

// Half the width of the view at `distance` ahead, as the camera's frustum computes it.
float halfView(float distance)
{
    return distance * std::tan(fieldOfView * 3.1415f / 360.0f);
}

// A scene of one square straight ahead of the camera at `distance`, `halfSize` across each way.
std::unique_ptr<Scene_Builder> squareAhead(float distance, float halfSize, GL_Texture* texture)
{
    auto builder = std::make_unique<Scene_Builder>();
    builder->addCameraKey(cameraAt(0, 0, 0, fieldOfView));
    EXPECT_TRUE(builder->setMesh(builder->addNode(nullptr), squareMesh(0, 0, -distance, halfSize, texture)));
    builder->createBuffers();
    return builder;
}

// A square small enough that its corners are about as far from the eye as its centre.
std::unique_ptr<Scene_Builder> smallSquareAhead(float distance, GL_Texture* texture)
{
    return squareAhead(distance, distance * 0.02f, texture);
}

void clearWindow(float red)
{
    glClearColor(red, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

class DepthRendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.valid());
        white = makeTexture({255, 255, 255}, 3);
    }

    void TearDown() override
    {
        for (auto& builder : builders)
            builder->releaseBuffers();
        white->release();
    }

    void loadLayer()
    {
        ASSERT_TRUE(layer->load(textures.get(), nullptr));
    }

    // Queues a scene that lives until the test ends.
    void queue(std::unique_ptr<Scene_Builder> builder, float time = 0.0f)
    {
        layer->addScene(builder->scene(), time);
        builders.push_back(std::move(builder));
    }

    tavoTest::GLTestContext context{size, size};
    std::unique_ptr<GL_TextureManager> textures = std::make_unique<GL_TextureManager>();
    std::unique_ptr<Layer_DepthRenderer> layer = std::make_unique<Layer_DepthRenderer>();
    std::unique_ptr<GL_MemTexture> white;
    std::vector<std::unique_ptr<Scene_Builder>> builders;
};

}  // namespace

TEST_F(DepthRendererTest, LoadBuildsTheDepthProgramWithoutComplaint)
{
    tavoTest::TraceCapture trace;
    loadLayer();
    const std::vector<std::string> lines = trace.messages();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("INFO (shaderCompiler): (depthPass) - shader created! (Log: ", 0), 0u) << lines[0];
}

TEST_F(DepthRendererTest, GreyIsTheDistanceFromTheEyeOver250)
{
    loadLayer();
    struct Case {
        float distance;
        int grey;
    };
    const Case cases[] = {{250, 255}, {125, 128}, {62.5f, 64}, {400, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        queue(smallSquareAhead(c.distance, white.get()));
        layer->render();
        const auto pixel = readPixel(size / 2, size / 2);
        EXPECT_NEAR(pixel[0], c.grey, 2);
        EXPECT_EQ(pixel[0], pixel[1]);
        EXPECT_EQ(pixel[0], pixel[2]);
        EXPECT_EQ(pixel[3], 255);  // an RGB texture's alpha
    }
}

TEST_F(DepthRendererTest, TexelsWithAlphaBelowAQuarterLeaveTheClearedBlack)
{
    loadLayer();
    // Four bands across the square, four texels each: alpha 0, 63, 64 and 255. The square fills the
    // view, so band k is seen around pixel column 16 k + 8.
    std::vector<std::uint8_t> texels;
    for (std::uint8_t alpha : {0, 63, 64, 255}) {
        for (int i = 0; i < 4; ++i)
            texels.insert(texels.end(), {255, 255, 255, alpha});
    }
    std::unique_ptr<GL_MemTexture> bands = makeTexture(texels, 4);
    queue(squareAhead(125, halfView(125), bands.get()));
    clearWindow(1);
    layer->render();

    struct Case {
        int column;
        std::array<std::uint8_t, 4> pixel;
    };
    const Case cases[] = {
        {8, {0, 0, 0, 255}},        // cut out: the clear colour
        {24, {0, 0, 0, 255}},       // alpha 63 / 255 is below 0.25
        {40, {128, 128, 128, 64}},  // drawn unblended, with the texel's alpha
        {56, {128, 128, 128, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        const auto pixel = readPixel(c.column, size / 2);
        for (int channel = 0; channel < 4; ++channel)
            EXPECT_NEAR(pixel[channel], c.pixel[channel], 2) << channel;
    }
    bands->release();
}

TEST_F(DepthRendererTest, RenderClearsThenDrawsEachQueuedSceneOnceLaterOverEarlier)
{
    loadLayer();
    clearWindow(1);
    layer->render();
    EXPECT_EQ(readPixel(size / 2, size / 2), (std::array<std::uint8_t, 4>{0, 0, 0, 255}));

    // The far square comes second: each scene is depth-tested only against itself, so it covers
    // the near one.
    queue(smallSquareAhead(50, white.get()));
    queue(smallSquareAhead(200, white.get()));
    layer->render();
    EXPECT_NEAR(readPixel(size / 2, size / 2)[0], 204, 2);

    // The queue was emptied: the next render only clears.
    clearWindow(1);
    layer->render();
    EXPECT_EQ(readPixel(size / 2, size / 2), (std::array<std::uint8_t, 4>{0, 0, 0, 255}));

    EXPECT_EQ(sceneShader, &defaultSceneShader);
    EXPECT_TRUE(sceneBlendingAllowed);
}

TEST_F(DepthRendererTest, PosesEachSceneAtItsOwnTime)
{
    loadLayer();
    auto builder = std::make_unique<Scene_Builder>();
    builder->addCameraKey(cameraAt(0, 0, 0, fieldOfView));
    Scene_Node* node = builder->addNode(nullptr);
    builder->addNodeKey(node, tavoTest::nodeKey(0, 0, 0, 0));
    builder->addNodeKey(node, tavoTest::nodeKey(24, 0, 0, -100));  // one second later, 100 units further
    ASSERT_TRUE(builder->setMesh(node, squareMesh(0, 0, -50, 1, white.get())));
    builder->createBuffers();
    Scene* scene = builder->scene();
    builders.push_back(std::move(builder));

    layer->addScene(scene, 0.5f);
    layer->render();
    EXPECT_NEAR(readPixel(size / 2, size / 2)[0], 102, 2);  // 100 units away
}

TEST_F(DepthRendererTest, DrawsIntoTheFramebufferTextureHeldUnderDepthPassAndOnlyThere)
{
    enum Held { NOTHING, IMAGE, FRAMEBUFFER };
    for (Held held : {NOTHING, IMAGE, FRAMEBUFFER}) {
        SCOPED_TRACE(held);
        textures = std::make_unique<GL_TextureManager>();
        layer = std::make_unique<Layer_DepthRenderer>();
        GL_FBOTexture* target = nullptr;
        if (held == IMAGE) {
            textures->addTexture("depthPass", makeTexture({9, 9, 9}, 3).release());
        } else if (held == FRAMEBUFFER) {
            target = new GL_FBOTexture;  // the manager owns it from here
            target->create(32, 32, 0);
            textures->addTexture("depthPass", target);
        }
        loadLayer();
        queue(smallSquareAhead(125, white.get()));
        clearWindow(1);
        layer->render();

        GLint framebuffer = -1;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
        EXPECT_EQ(framebuffer, 0);  // the window's again after the pass
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], size);

        const auto window = readPixel(size / 2, size / 2);
        if (target) {
            EXPECT_EQ(window[0], 255);  // untouched
            glBindFramebuffer(GL_FRAMEBUFFER, target->framebuffer);
            EXPECT_NEAR(readPixel(16, 16)[0], 128, 2);
            EXPECT_EQ(readPixel(0, 0)[0], 0);
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
        } else {
            EXPECT_NEAR(window[0], 128, 2);
        }
    }
}
