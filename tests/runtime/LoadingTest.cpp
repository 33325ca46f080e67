// The loading sequence: the pacing frames before each layer, the loads in registration order,
// failures, and the loading picture. Frames are counted with an occlusion query: each loading
// frame draws the picture over the whole 320 x 180 window, so 57600 samples are one frame.
#include <gtest/gtest.h>

#include "gl/GL_MemTexture.h"
#include "gl/GL_TextureManager.h"
#include "platform/OpenGL.h"
#include "tests/runtime/DemoTestSupport.h"
#include "tests/support/GLTestContext.h"

namespace tavoTest {
namespace {

constexpr const char* loadingPicture = "data\\textures\\loading.png";

// A 2 x 2 picture, rows top first: red, green / blue, white; stretched without filtering, each
// colour fills a quarter of the viewport.
GL_MemTexture* fourColourPicture()
{
    const unsigned char pixels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    GL_MemTexture* picture = new GL_MemTexture;
    picture->upload(pixels, 2, 2, GL_RGBA, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, picture->textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return picture;
}

class Loading : public DemoWindowTest {
protected:
    static constexpr GLuint samplesPerFrame = width * height;

    void SetUp() override
    {
        DemoWindowTest::SetUp();
        glGenQueries(1, &query);
        demo.textures = new GL_TextureManager;
    }

    void TearDown() override
    {
        glDeleteQueries(1, &query);
        delete demo.textures;
        demo.textures = nullptr;
        DemoWindowTest::TearDown();
    }

    // Adds a layer that, when loaded, records how many frames were drawn since the count started.
    TestLayer* addCountingLayer(const char* name, bool loadResult = true)
    {
        TestLayer* layer = new TestLayer(name, log, loadResult);
        layer->onLoad = [this] { framesPerLoad.push_back(takeFrameCount()); };
        demo.addLayer(name, layer);
        return layer;
    }

    void startFrameCount() { glBeginQuery(GL_SAMPLES_PASSED, query); }

    // Frames drawn since the count started (and starts counting again).
    GLuint takeFrameCount()
    {
        glEndQuery(GL_SAMPLES_PASSED);
        GLuint samples = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
        EXPECT_EQ(samples % samplesPerFrame, 0u) << "every frame covers the whole window";
        glBeginQuery(GL_SAMPLES_PASSED, query);
        return samples / samplesPerFrame;
    }

    GLuint stopFrameCount()
    {
        const GLuint frames = takeFrameCount();
        glEndQuery(GL_SAMPLES_PASSED);
        return frames;
    }

    // The cursor display counter, left as it was.
    static int cursorCounter()
    {
        const int counter = platform::showCursor(true) - 1;
        platform::showCursor(false);
        return counter;
    }

    GLuint query = 0;
    std::vector<GLuint> framesPerLoad;
};

TEST_F(Loading, FourLayersLoadAfterTenTenElevenAndElevenFrames)
{
    ASSERT_FALSE(demo.textures->addTexture(loadingPicture, fourColourPicture()));
    for (const char* name : {"A", "B", "C"})
        addCountingLayer(name);
    TestLayer* last = addCountingLayer("D");
    // While a layer loads, the last loading frame is on the front buffer: the picture, upright.
    std::array<std::uint8_t, 4> topLeft{}, bottomRight{};
    last->onLoad = [&, count = last->onLoad] {
        count();
        glReadBuffer(GL_FRONT);
        topLeft = readPixel(width / 4, height * 3 / 4);
        bottomRight = readPixel(width * 3 / 4, height / 4);
        glReadBuffer(GL_BACK);
    };
    const int cursorBefore = cursorCounter();

    testing::internal::CaptureStderr();
    startFrameCount();
    const bool loaded = demo.loadLayers(window.window);
    const GLuint framesAfterLastLoad = stopFrameCount();
    const std::string debugger = testing::internal::GetCapturedStderr();

    EXPECT_TRUE(loaded);
    EXPECT_EQ(demo.state, DEMO_LOADED);
    EXPECT_EQ(log, (EventLog{"load A", "load B", "load C", "load D"}));
    EXPECT_EQ(framesPerLoad, (std::vector<GLuint>{10, 10, 11, 11}));
    EXPECT_EQ(framesAfterLastLoad, 0u);
    EXPECT_EQ(topLeft, (std::array<std::uint8_t, 4>{255, 0, 0, 255}));
    EXPECT_EQ(bottomRight, (std::array<std::uint8_t, 4>{255, 255, 255, 255}));
    EXPECT_EQ(debugger.rfind("at load time: 4\n", 0), 0u) << debugger;
    EXPECT_EQ(cursorCounter(), cursorBefore - 1) << "one hide request";
    EXPECT_NE(demo.loadingScreen.picture, nullptr);
}

TEST_F(Loading, FailingSecondLayerStopsTheLoading)
{
    ASSERT_FALSE(demo.textures->addTexture(loadingPicture, fourColourPicture()));
    addCountingLayer("A");
    addCountingLayer("B", false);
    addCountingLayer("C");
    addCountingLayer("D");

    testing::internal::CaptureStderr();
    startFrameCount();
    const bool loaded = demo.loadLayers(window.window);
    const GLuint framesAfterFailure = stopFrameCount();
    testing::internal::GetCapturedStderr();

    EXPECT_FALSE(loaded);
    EXPECT_EQ(demo.state, DEMO_REGISTERING) << "the state is left as it was";
    EXPECT_EQ(log, (EventLog{"load A", "load B"}));
    EXPECT_EQ(framesPerLoad, (std::vector<GLuint>{10, 10}));
    EXPECT_EQ(framesAfterFailure, 0u) << "no loading frame after the failure";

    // The show then never starts: run returns at once, drawing and releasing nothing.
    log.clear();
    demo.schedule("A", 0);
    demo.run(window.window);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(demo.state, DEMO_REGISTERING);
    EXPECT_NE(demo.textures, nullptr) << "nothing released";
}

TEST_F(Loading, NoLayersIsLoadedAtOnce)
{
    ASSERT_FALSE(demo.textures->addTexture(loadingPicture, fourColourPicture()));
    const int cursorBefore = cursorCounter();
    testing::internal::CaptureStderr();
    startFrameCount();
    const bool loaded = demo.loadLayers(window.window);
    const GLuint frames = stopFrameCount();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "at load time: 0\n");

    EXPECT_TRUE(loaded);
    EXPECT_EQ(demo.state, DEMO_LOADED);
    EXPECT_EQ(frames, 0u) << "no frame drawn";
    EXPECT_EQ(cursorCounter(), cursorBefore - 1) << "the cursor is hidden all the same";
}

TEST_F(Loading, WithoutThePictureFramesAreBlackAndLoadingGoesOn)
{
    // The texture manager finds no "data\textures\loading.png" below the repository root.
    addCountingLayer("A");
    TestLayer* second = addCountingLayer("B");
    // While a layer loads, the last loading frame is on the front buffer.
    std::array<std::uint8_t, 4> frontPixel{};
    second->onLoad = [&frontPixel] {
        glReadBuffer(GL_FRONT);
        frontPixel = readPixel(width / 2, height / 2);
        glReadBuffer(GL_BACK);
    };
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    testing::internal::CaptureStderr();
    startFrameCount();
    EXPECT_TRUE(demo.loadLayers(window.window));
    stopFrameCount();
    testing::internal::GetCapturedStderr();

    EXPECT_EQ(demo.loadingScreen.picture, nullptr);
    EXPECT_EQ(log, (EventLog{"load A", "load B"}));
    EXPECT_EQ(framesPerLoad, (std::vector<GLuint>{0})) << "nothing is drawn over the cleared frame";
    EXPECT_EQ(frontPixel, (std::array<std::uint8_t, 4>{0, 0, 0, 0})) << "the loading frame is black";
    EXPECT_EQ(demo.state, DEMO_LOADED);
}

TEST(LoadingScreen, PictureUprightInWhiteOverTheViewport)
{
    GLTestContext context(64, 32);
    ASSERT_TRUE(context.valid());
    GL_MemTexture* picture = fourColourPicture();
    LoadingScreen screen;
    screen.picture = picture;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0.2f, 0.2f, 0.2f);  // the screen sets white itself
    screen.draw();

    // Quarter centres; GL counts rows from the bottom, so the picture's top row is at y 24.
    EXPECT_EQ(readPixel(16, 24), (std::array<std::uint8_t, 4>{255, 0, 0, 255})) << "top left";
    EXPECT_EQ(readPixel(48, 24), (std::array<std::uint8_t, 4>{0, 255, 0, 255})) << "top right";
    EXPECT_EQ(readPixel(16, 8), (std::array<std::uint8_t, 4>{0, 0, 255, 255})) << "bottom left";
    EXPECT_EQ(readPixel(48, 8), (std::array<std::uint8_t, 4>{255, 255, 255, 255})) << "bottom right";
    GLint activeUnit = 0, bound = -1;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(activeUnit, GL_TEXTURE0);
    EXPECT_EQ(bound, 0) << "the picture is unbound again";

    screen.picture = nullptr;
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    screen.draw();
    EXPECT_EQ(readPixel(16, 24), (std::array<std::uint8_t, 4>{128, 128, 128, 255})) << "no picture, nothing drawn";
    picture->release();
    delete picture;
}

}  // namespace
}  // namespace tavoTest
