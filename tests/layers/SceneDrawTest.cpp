// Scene drawing on real OpenGL: camera and light state, the pass filter, visibility of subtrees,
// the buffer set a morphing mesh is drawn from, and node transforms against GL's own.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/layers/SceneTestScenes.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using tavoTest::cameraAt;
using tavoTest::makeTexture;
using tavoTest::nodeKey;
using tavoTest::readPixel;
using tavoTest::squareMesh;

namespace {

constexpr int size = 64;

float secondsOfFrame(float frame)
{
    return frame / sceneFramesPerSecond;
}

// Pixel column or row of a point on the plane z = -1 seen by cameraAt(0, 0, 0): -1 to 1 across.
int pixelOf(float coordinate)
{
    return static_cast<int>((coordinate + 1.0f) * 0.5f * size);
}

bool lit(int x, int y)
{
    return readPixel(x, y)[0] > 128;
}

class SceneDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.valid());
        white = makeTexture({255, 255, 255}, 3);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    void TearDown() override
    {
        sceneShader = &defaultSceneShader;
        sceneOpacityUniform = -1;
        sceneThirdTextureUniform = -1;
        sceneLightDiffuseAlphaScale = 0;
        sceneLightSpecularAlpha = 0;
        if (white)
            white->release();
    }

    void drawFresh(Scene_Builder& builder, float frame)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawScene(builder.scene(), secondsOfFrame(frame));
    }

    tavoTest::GLTestContext context{size, size};
    std::unique_ptr<GL_MemTexture> white;
};

}  // namespace

TEST_F(SceneDrawTest, LeavesTheCameraInTheMatricesAndItsOwnStateReset)
{
    Scene_Builder builder;
    Scene_CameraKey camera = cameraAt(1, 2, 3, 90.0f);
    camera.fovV = 60.0f;
    camera.nearDistance = 2.0f;
    camera.farDistance = 500.0f;
    builder.addCameraKey(camera);
    camera.position[2] = 53;  // 50 units on: the camera glides
    builder.addCameraKey(camera);
    Scene_Node* root = builder.addNode(nullptr);
    ASSERT_TRUE(builder.setMesh(root, squareMesh(0, 0, -10, 1, white.get())));
    builder.createBuffers();

    drawScene(builder.scene(), secondsOfFrame(0.5f));

    float projection[16];
    float modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    // The fields of view are converted with pi = 3.1415.
    EXPECT_NEAR(projection[0], 1.0f / std::tan(90.0f * 3.1415f / 360.0f), 1e-6f);
    EXPECT_NEAR(projection[5], 1.0f / std::tan(60.0f * 3.1415f / 360.0f), 1e-6f);
    EXPECT_NEAR(projection[10], -(500.0f + 2.0f) / (500.0f - 2.0f), 1e-6f);
    EXPECT_NEAR(projection[14], -2.0f * 500.0f * 2.0f / (500.0f - 2.0f), 1e-5f);
    EXPECT_NEAR(modelview[12], -1.0f, 1e-6f);
    EXPECT_NEAR(modelview[13], -2.0f, 1e-6f);
    EXPECT_NEAR(modelview[14], -28.0f, 1e-5f);

    GLint value = -1;
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &value);
    EXPECT_EQ(value, 1);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &value);
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    builder.releaseBuffers();
}

TEST_F(SceneDrawTest, KeyedLightsAreSetAndALightWithoutKeysIsLeftAlone)
{
    Scene_Builder builder;
    builder.addCameraKey(cameraAt(0, 0, 0));
    builder.addLightKey(0, {0, {0, 0, 0}, {1, 0, 0}, 2});
    builder.addLightKey(0, {0, {10, 0, -4}, {0, 1, 0}, 4});
    sceneLightDiffuseAlphaScale = 0.5f;
    sceneLightSpecularAlpha = 0.25f;
    const float untouched[4] = {0.125f, 0.25f, 0.375f, 0.5f};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, untouched);

    drawScene(builder.scene(), secondsOfFrame(0.5f));

    float position[4], diffuse[4], specular[4], other[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);  // in eye space: the camera's view is identity
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, other);
    const float expectedPosition[4] = {5, 0, -2, 1};
    const float expectedDiffuse[4] = {0.5f, 0.5f, 0, 0.5f * 3};  // colour mixed; alpha scale x intensity
    const float expectedSpecular[4] = {0, 0, 0, 0.25f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(position[i], expectedPosition[i], 1e-5f) << i;
        EXPECT_NEAR(diffuse[i], expectedDiffuse[i], 1e-5f) << i;
        EXPECT_NEAR(specular[i], expectedSpecular[i], 1e-5f) << i;
        EXPECT_EQ(other[i], untouched[i]) << i;
    }

    // After the last key the light holds it.
    drawScene(builder.scene(), 10.0f);
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    EXPECT_NEAR(position[0], 10, 1e-5f);
}

// A scene program that shows which pass drew a mesh: red is the opacity uniform, which only the
// translucent pass sets (the opaque pass leaves the 0.25 the test puts there), green the
// third-texture uniform, blue 1 wherever anything was drawn.
TEST_F(SceneDrawTest, PassFilterSortsMeshesByTransparencyAndFirstTextureFormat)
{
    GL_Shader passShader;
    passShader.create("passProbe", "void main() { gl_Position = ftransform(); }",
                      "uniform float opacity; uniform float noThird;\n"
                      "void main() { gl_FragColor = vec4(opacity, noThird, 1.0, 1.0); }");
    ASSERT_TRUE(passShader.usable);
    sceneShader = &passShader;
    sceneOpacityUniform = passShader.uniformLocation("opacity");
    sceneThirdTextureUniform = passShader.uniformLocation("noThird");
    std::unique_ptr<GL_MemTexture> rgba = makeTexture({255, 255, 255, 255}, 4);

    enum Drawn { NEITHER, OPAQUE, TRANSLUCENT };
    struct Case {
        float transparency;
        bool rgbaFirst;
        bool third;
        Drawn drawn;
        int red;  // the opacity seen: 64 for the opaque pass's untouched 0.25
    };
    const Case cases[] = {
        {0.0f, false, false, OPAQUE, 64},
        {0.0000099f, false, false, OPAQUE, 64},
        {0.00001f, false, false, NEITHER, 0},  // from 0.00001 up to 0.0001 an RGB mesh is in neither pass
        {0.00005f, false, false, NEITHER, 0},
        {0.0000999f, false, false, NEITHER, 0},
        {0.0001f, false, false, TRANSLUCENT, 255},
        {0.5f, false, false, TRANSLUCENT, 128},  // opacity 1 - transparency
        {0.0f, true, false, TRANSLUCENT, 255},   // an opaque-looking mesh with an RGBA texture
        {0.5f, true, false, TRANSLUCENT, 255},   // RGBA: opacity 1 whatever the transparency
        {0.0f, false, true, OPAQUE, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.transparency << (c.rgbaFirst ? " RGBA" : " RGB") << (c.third ? " third" : ""));
        Scene_Builder builder;
        builder.addCameraKey(cameraAt(0, 0, 0));
        Scene_Builder::Mesh mesh = squareMesh(0, 0, -1, 0.5f, c.rgbaFirst ? rgba.get() : white.get());
        mesh.material.transparency = c.transparency;
        mesh.textures[2] = c.third ? white.get() : nullptr;
        ASSERT_TRUE(builder.setMesh(builder.addNode(nullptr), mesh));
        builder.createBuffers();
        glUseProgram(passShader.program);
        glUniform1f(sceneOpacityUniform, 0.25f);
        glUniform1f(sceneThirdTextureUniform, 0.5f);
        glUseProgram(0);

        drawFresh(builder, 0);
        const auto pixel = readPixel(size / 2, size / 2);
        EXPECT_EQ(pixel[2], c.drawn == NEITHER ? 0 : 255);
        EXPECT_NEAR(pixel[0], c.red, 1);
        if (c.drawn != NEITHER) {
            EXPECT_EQ(pixel[1], c.third ? 0 : 255);
        }
        builder.releaseBuffers();
    }
    rgba->release();
}

TEST_F(SceneDrawTest, InvisibleKeyHidesTheNodeAndItsChildren)
{
    Scene_Builder builder;
    builder.addCameraKey(cameraAt(0, 0, 0));
    Scene_Node* parent = builder.addNode(nullptr);
    builder.addNodeKey(parent, nodeKey(0, -0.5f, 0, 0, 1));
    builder.addNodeKey(parent, nodeKey(10, 0.5f, 0, 0, 0));
    builder.addNodeKey(parent, nodeKey(20, 0.5f, 0, 0, 1));
    ASSERT_TRUE(builder.setMesh(parent, squareMesh(0, 0.5f, -1, 0.1f, white.get())));
    Scene_Node* child = builder.addNode(parent);
    ASSERT_TRUE(builder.setMesh(child, squareMesh(0, -0.5f, -1, 0.1f, white.get())));
    builder.createBuffers();

    struct Case {
        float frame;
        float x;  // where the parent has moved both
        bool shown;
    };
    const Case cases[] = {{5, 0.0f, true}, {10, 0.5f, false}, {15, 0.5f, false}, {20, 0.5f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        drawFresh(builder, c.frame);
        EXPECT_EQ(lit(pixelOf(c.x), pixelOf(0.5f)), c.shown);
        EXPECT_EQ(lit(pixelOf(c.x), pixelOf(-0.5f)), c.shown);
    }
    builder.releaseBuffers();
}

TEST_F(SceneDrawTest, MeshLeftOutOfAPassStillHasItsChildrenDrawn)
{
    Scene_Builder builder;
    builder.addCameraKey(cameraAt(0, 0, 0));
    Scene_Node* parent = builder.addNode(nullptr);
    Scene_Builder::Mesh hidden = squareMesh(0, 0.5f, -1, 0.1f, white.get());
    hidden.material.transparency = 0.00005f;  // drawn in neither pass
    ASSERT_TRUE(builder.setMesh(parent, hidden));
    Scene_Node* child = builder.addNode(parent);
    ASSERT_TRUE(builder.setMesh(child, squareMesh(0, -0.5f, -1, 0.1f, white.get())));
    builder.createBuffers();

    drawFresh(builder, 0);
    EXPECT_FALSE(lit(pixelOf(0), pixelOf(0.5f)));
    EXPECT_TRUE(lit(pixelOf(0), pixelOf(-0.5f)));
    builder.releaseBuffers();
}

TEST_F(SceneDrawTest, MorphingMeshDrawsRestBuffersThenMorphedArraysThenFinalBuffers)
{
    Scene_Builder builder;
    builder.addCameraKey(cameraAt(0, 0, 0));
    Scene_Node* node = builder.addNode(nullptr);
    builder.addNodeKey(node, nodeKey(0, 0, 0, 0));
    // Morph frames at 10, 20 and 30 put a small square at x = -0.5, 0 and 0.5.
    ASSERT_TRUE(builder.setMesh(node, squareMesh(-0.5f, 0, -1, 0.1f, white.get(), {10, 20, 30}, 0.5f)));
    builder.createBuffers();
    Scene_MeshBuffers& arrays = *node->meshBuffers;

    struct Case {
        float frame;
        float x;  // where the square must be
    };
    const Case cases[] = {{5, -0.5f}, {10, -0.5f}, {15, -0.25f}, {25, 0.25f}, {30, 0.5f}, {35, 0.5f}};
    const int spoiledRow = pixelOf(0.6f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        // The morphed arrays are spoiled first: drawn from them, the square shows up high.
        for (std::uint32_t vertex = 0; vertex < node->vertexCount; ++vertex)
            arrays.morphedPositions[vertex * 3 + 1] += 0.6f;
        drawFresh(builder, c.frame);
        EXPECT_TRUE(lit(pixelOf(c.x), size / 2));
        for (float elsewhere : {-0.5f, -0.25f, 0.25f, 0.5f}) {
            if (elsewhere != c.x) {
                EXPECT_FALSE(lit(pixelOf(elsewhere), size / 2)) << elsewhere;
            }
        }
        EXPECT_FALSE(lit(pixelOf(c.x), spoiledRow));
    }
    builder.releaseBuffers();
}

TEST_F(SceneDrawTest, NodeMatrixMatchesGLTranslationsAndRotationsInOrder)
{
    struct Case {
        float rotation[3];  // about y, x, z
        float translation[3];
        float pivot[3];
    };
    const Case cases[] = {
        {{90, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {{0, 90, 0}, {0, 0, 0}, {0, 0, 0}},
        {{0, 0, 90}, {0, 0, 0}, {0, 0, 0}},
        {{30, 45, 60}, {1, 2, 3}, {0, 0, 0}},
        {{30, 45, 60}, {1, 2, 3}, {-4, 5, 6}},
        {{-170, 200, 10}, {0, 0, 0}, {2, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rotation[0] << " " << c.rotation[1] << " " << c.rotation[2]);
        Scene_NodeKey pose = nodeKey(0, c.translation[0], c.translation[1], c.translation[2]);
        std::copy(c.rotation, c.rotation + 3, pose.rotation);
        std::copy(c.pivot, c.pivot + 3, pose.pivot);
        float matrix[16];
        nodeMatrix(pose, matrix);

        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(c.translation[0], c.translation[1], c.translation[2]);
        glTranslatef(c.pivot[0], c.pivot[1], c.pivot[2]);
        glRotatef(c.rotation[2], 0, 0, 1);
        glRotatef(c.rotation[0], 0, 1, 0);
        glRotatef(c.rotation[1], 1, 0, 0);
        glTranslatef(-c.pivot[0], -c.pivot[1], -c.pivot[2]);
        float expected[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, expected);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(matrix[i], expected[i], 1e-4f) << i;
    }
    glLoadIdentity();
}
