// Posing without drawing: node key search and interpolation, the camera's glide and cut, morphing,
// and the builder's checks of mesh data.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/layers/SceneTestScenes.h"

using namespace tavoFramework;
using tavoTest::cameraAt;
using tavoTest::nodeKey;
using tavoTest::squareMesh;

namespace {

float secondsOfFrame(float frame)
{
    return frame / sceneFramesPerSecond;
}

}  // namespace

TEST(ScenePose, NodeTakesTheKeyInEffectAndGlidesTowardsTheNext)
{
    Scene_Builder builder;
    Scene_Node* node = builder.addNode(nullptr);
    Scene_NodeKey first = nodeKey(10, 1, 0, 0, 1);
    first.pivot[2] = 10;
    first.rotation[1] = 30;
    Scene_NodeKey second = nodeKey(20, 2, 0, 0, 0);
    second.pivot[2] = 20;
    second.rotation[1] = 60;
    Scene_NodeKey third = nodeKey(30, 4, 0, 0, 1);
    third.pivot[2] = 40;
    third.rotation[1] = 120;
    builder.addNodeKey(node, first);
    builder.addNodeKey(node, second);
    builder.addNodeKey(node, third);

    struct Case {
        float frame;
        float x, pivotZ, rotationX;
        std::uint8_t visible;
    };
    const Case cases[] = {
        {0, 1, 10, 30, 1},      // before the first key: key 0 as it is, no glide backwards
        {10, 1, 10, 30, 1},
        {15, 1.5f, 15, 45, 1},  // the visible byte is the earlier key's, never interpolated
        {20, 2, 20, 60, 0},
        {25, 3, 30, 90, 0},
        {30, 4, 40, 120, 1},    // from the last key on it holds
        {1000, 4, 40, 120, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        const Scene_NodeKey pose = poseNode(*node, secondsOfFrame(c.frame));
        EXPECT_NEAR(pose.translation[0], c.x, 1e-4f);
        EXPECT_NEAR(pose.pivot[2], c.pivotZ, 1e-3f);
        EXPECT_NEAR(pose.rotation[1], c.rotationX, 1e-3f);
        EXPECT_EQ(pose.visible, c.visible);
    }
}

TEST(ScenePose, CameraCutsFromHundredUnitsOnAndGlidesBelow)
{
    struct Case {
        float jump;       // distance between the positions of frames 0 and 1
        float expectedX;  // camera x half way between the two frames
    };
    const Case cases[] = {{99.9f, 49.95f}, {100.0f, 100.0f}, {150.0f, 150.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jump);
        Scene_Builder builder;
        builder.addCameraKey(cameraAt(0, 0, 0));
        builder.addCameraKey(cameraAt(c.jump, 0, 0));
        EXPECT_NEAR(poseCamera(*builder.scene(), secondsOfFrame(0.5f)).position[0], c.expectedX, 1e-3f);
    }
}

TEST(ScenePose, GlidingCameraMixesEveryFieldAndKeepsItsUpVectorUnitLength)
{
    Scene_Builder builder;
    Scene_CameraKey from = cameraAt(0, 0, 0, 60.0f);
    Scene_CameraKey to = cameraAt(10, 0, 0, 90.0f);
    to.up[0] = 1;
    to.up[1] = 0;
    to.direction[0] = 1;
    to.farDistance = 2000;
    builder.addCameraKey(from);
    builder.addCameraKey(to);

    const Scene_CameraKey key = poseCamera(*builder.scene(), secondsOfFrame(0.25f));
    EXPECT_NEAR(key.position[0], 2.5f, 1e-4f);
    EXPECT_NEAR(key.direction[0], 0.25f, 1e-4f);
    EXPECT_NEAR(key.fovH, 67.5f, 1e-3f);
    EXPECT_NEAR(key.fovV, 67.5f, 1e-3f);
    EXPECT_NEAR(key.farDistance, 1250.0f, 1e-2f);
    // (0.25, 0.75, 0) normalised
    EXPECT_NEAR(key.up[0], 0.25f / std::sqrt(0.625f), 1e-5f);
    EXPECT_NEAR(key.up[1], 0.75f / std::sqrt(0.625f), 1e-5f);
}

TEST(ScenePose, CameraHoldsItsLastKeyAndTimesBeforeZeroPoseFrameZero)
{
    Scene_Builder builder;
    for (float x : {0.0f, 10.0f, 20.0f})
        builder.addCameraKey(cameraAt(x, 0, 0));
    struct Case {
        float seconds;
        float expectedX;
    };
    const Case cases[] = {{secondsOfFrame(2.0f), 20}, {100.0f, 20}, {-10.0f, 0}, {secondsOfFrame(-0.5f), 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_NEAR(poseCamera(*builder.scene(), c.seconds).position[0], c.expectedX, 1e-4f);
    }

    Scene_Builder single;
    single.addCameraKey(cameraAt(5, 0, 0));
    EXPECT_EQ(poseCamera(*single.scene(), 3.0f).position[0], 5.0f);
}

TEST(ScenePose, MorphGlidesBetweenTheMorphFramesAroundTheTime)
{
    GL_MemTexture texture;
    Scene_Builder builder;
    Scene_Node* node = builder.addNode(nullptr);
    // Frames unevenly spaced: 10, 20, 40; the square moves by 10 along x per morph frame.
    Scene_Builder::Mesh mesh = squareMesh(0, 0, 0, 1, &texture, {10, 20, 40}, 10);
    for (std::size_t vertex = 0; vertex < 4; ++vertex) {
        mesh.texCoords[8 * 2 + vertex * 2] = 0.5f;  // frame 2's s coordinates: 0.5
        mesh.normals[12 * 2 + vertex * 3 + 1] = 1;  // frame 2's normals lean towards +y
    }
    ASSERT_TRUE(builder.setMesh(node, mesh));
    const Scene_MeshBuffers& arrays = *node->meshBuffers;

    struct Case {
        float frame;
        bool morphing;
        float leftX;  // x of vertex 0 in the morphed arrays
    };
    const Case cases[] = {
        {5, false, -1},   // before morph frame 0 the arrays are not touched
        {10, false, -1},  // at morph frame 0 too
        {15, true, 4},    // half way from frame 0 to frame 1
        {20, true, 9},
        {30, true, 14},   // half way from frame 1 (at 20) to frame 2 (at 40)
        {40, true, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        EXPECT_EQ(morphNode(*node, secondsOfFrame(c.frame)), c.morphing);
        EXPECT_NEAR(arrays.morphedPositions[0], c.leftX, 1e-4f);
    }
    // At 30 the second half of the way from frame 1 to frame 2 began: texture coordinates and
    // normals mix with the same weight.
    morphNode(*node, secondsOfFrame(30));
    EXPECT_NEAR(arrays.morphedTexCoords[0], 0.25f, 1e-5f);
    EXPECT_NEAR(arrays.morphedNormals[1], 0.5f, 1e-5f);

    // Past the last morph frame the node still morphs (drawn from its second buffers) and the
    // arrays keep the last result.
    EXPECT_TRUE(morphNode(*node, secondsOfFrame(41)));
    EXPECT_NEAR(arrays.morphedPositions[0], 14, 1e-4f);
}

TEST(SceneBuilder, RejectsMeshesWhoseArraysDoNotFit)
{
    GL_MemTexture texture;
    struct Case {
        const char* what;
        void (*spoil)(Scene_Builder::Mesh&);
    };
    const Case cases[] = {
        {"no morph frame", [](Scene_Builder::Mesh& m) { m.morphFrames.clear(); }},
        {"morph frames out of order", [](Scene_Builder::Mesh& m) { m.morphFrames = {5, 1}; }},
        {"positions of half a vertex", [](Scene_Builder::Mesh& m) { m.positions.pop_back(); }},
        {"texture coordinates short", [](Scene_Builder::Mesh& m) { m.texCoords.resize(m.texCoords.size() - 2); }},
        {"normals long", [](Scene_Builder::Mesh& m) { m.normals.insert(m.normals.end(), {0, 0, 1}); }},
        {"index past the vertices", [](Scene_Builder::Mesh& m) { m.indices[5] = 8; }},
        {"half a triangle", [](Scene_Builder::Mesh& m) { m.indices.pop_back(); }},
        {"no first texture", [](Scene_Builder::Mesh& m) { m.textures[0] = nullptr; }},
        {"no vertices", [](Scene_Builder::Mesh& m) { m.positions.clear(); m.texCoords.clear(); m.normals.clear(); m.indices.clear(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene_Builder builder;
        Scene_Node* node = builder.addNode(nullptr);
        Scene_Builder::Mesh mesh = squareMesh(0, 0, 0, 1, &texture, {0, 10});
        c.spoil(mesh);
        EXPECT_FALSE(builder.setMesh(node, mesh));
        EXPECT_EQ(node->vertexCount, 0u);
        EXPECT_EQ(node->meshBuffers, nullptr);
    }

    Scene_Builder builder;
    Scene_Node* node = builder.addNode(nullptr);
    ASSERT_TRUE(builder.setMesh(node, squareMesh(0, 0, 0, 1, &texture, {0, 10})));
    EXPECT_EQ(node->vertexCount, 4u);
    EXPECT_EQ(node->morphFrameCount, 2u);
    EXPECT_EQ(node->indexCount, 6u);
}
