// Keyframe-animated 3D scenes and their drawing: a camera and two lights keyed once per frame, a
// tree of mesh nodes with keyed transforms, visibility and vertex animation (morph frames).
// Animation runs at 24 frames per second; every key time in these records is in frames.
#pragma once

#include <cstdint>

#include "gl/GL_Shader.h"
#include "gl/GL_Texture.h"
#include "platform/OpenGL.h"

namespace tavoFramework {

struct Scene_Node;

// Frames of animation per second of show time.
constexpr float sceneFramesPerSecond = 24.0f;

// Camera positions further apart than this (units) between two frames are a cut, not a glide.
constexpr float sceneCameraCutDistance = 100.0f;

struct Scene_CameraKey {
    float reserved;      // not read by drawing: keys are found by their place in the array
    float position[3];
    float direction[3];  // the camera looks at position + direction
    float up[3];
    float fovH;          // horizontal field of view, degrees
    float fovV;          // vertical field of view, degrees
    float nearDistance;
    float farDistance;
};

struct Scene_LightKey {
    float reserved;  // not read by drawing
    float position[3];
    float colour[3];
    float intensity;
};

struct Scene_NodeKey {
    float frame;  // frame number
    float translation[3];
    float pivot[3];
    float rotation[3];      // degrees about the y, the x and the z axis, in this order
    std::uint8_t visible;   // 0 hides the node and its whole subtree
};

struct Scene_Material {
    float diffuse[3];
    float specular[3];
    float transparency;  // 0 opaque
    float shininess;     // 0 to 1, 1 the dullest
};

// Places of the four buffer names of a buffer set.
enum : int { SCENE_BUFFER_POSITIONS = 0, SCENE_BUFFER_NORMALS = 1, SCENE_BUFFER_TEXCOORDS = 2, SCENE_BUFFER_INDICES = 3 };

struct Scene_MeshBuffers {
    GLuint firstBuffers[4];   // the mesh at rest (morph frame 0): positions, normals, texture coordinates, indices
    GLuint secondBuffers[4];  // the mesh after its last morph frame, same four
    GL_Texture* textures[3];  // borrowed, for units 0, 1 and 2, or none; the first is required with vertices
    float* morphedPositions;  // one frame's worth each (3, 3 and 2 per vertex), written by posing
    float* morphedNormals;
    float* morphedTexCoords;
};

struct Scene_Node {
    std::uint32_t keyCount;  // 0: the node keeps its parent's transform, stays visible and does not morph
    Scene_NodeKey* keys;     // ascending frame numbers
    std::uint32_t morphFrameCount;
    float* morphFrames;      // frame number of each morph frame, ascending
    std::uint32_t vertexCount;  // vertices per morph frame
    float* morphPositions;   // 3 per vertex, all vertices of morph frame 0, then of frame 1, ...
    float* morphTexCoords;   // 2 per vertex, same order
    float* morphNormals;     // 3 per vertex, same order
    std::uint32_t indexCount;
    std::uint32_t* indices;  // triangle list into one morph frame's vertices
    std::uint32_t childCount;
    Scene_Node** children;   // drawn after the node, in order
    Scene_Material* material;       // required for every node with vertices
    Scene_MeshBuffers* meshBuffers; // required for every node with vertices
};

struct Scene {
    Scene_Node* root;
    std::uint32_t cameraKeyCount;  // one key per frame, frame 0 first; at least 1
    Scene_CameraKey* cameraKeys;
    std::uint32_t lightKeyCounts[2];  // light 0 and light 1; 0 leaves that light untouched
    Scene_LightKey* lightKeys[2];     // one key per frame, frame 0 first
};

// ---- Program-wide drawing settings -------------------------------------------------------------

// Never created, so its program is 0 and scene geometry falls back to the fixed-function pipeline.
extern GL_Shader defaultSceneShader;
extern GL_Shader* sceneShader;             // program used for all scene geometry; the default at start
extern bool sceneBlendingAllowed;          // whether the translucent pass turns blending on; true at start
extern float sceneAlphaReference;          // reference of the translucent pass's alpha function; 0
extern float sceneLightDiffuseAlphaScale;  // multiplies a light's intensity into its diffuse alpha; 0
extern float sceneLightSpecularAlpha;      // alpha of the lights' specular colour; 0
extern GLint sceneOpacityUniform;          // uniform of sceneShader that takes a mesh's opacity; -1 none
extern GLint sceneThirdTextureUniform;     // uniform set to 1 for a mesh without third texture, else 0; -1 none
extern int scenePass;                      // 2 during the opaque pass, 1 during the translucent pass

// ---- Posing --------------------------------------------------------------------------------------

// The camera at show time `time` (seconds; times before 0 pose frame 0). Between two keys it glides
// (every field linear, the up vector normalised) unless their positions are sceneCameraCutDistance
// or more apart, in which case the later key holds for the whole frame. After the last key: the last.
Scene_CameraKey poseCamera(const Scene& scene, float time);

// Light 0 or 1 at `time`, interpolated between the keys of the two frames around it; the last key
// after the end. The light must have keys.
Scene_LightKey poseLight(const Scene& scene, int light, float time);

// The node's transform at `time` from its keys (keyCount > 0): the key in effect is the last whose
// frame is at most the time's frame (key 0 before the first); translation, pivot and rotation glide
// towards the next key, the visible byte is the key's own. `frame` of the result is the time's frame.
Scene_NodeKey poseNode(const Scene_Node& node, float time);

// Writes the node's morphed arrays for `time` and says whether the node is morphing: with two or
// more morph frames, from just after morph frame 0 on. Between two morph frames every vertex
// glides linearly from the earlier frame to the later one. Past the last morph frame the arrays
// are left as they are (drawing then uses the second buffer set).
bool morphNode(const Scene_Node& node, float time);

// Column-major matrix of a pose: translate by the translation, translate by the pivot, rotate by
// Rz * Ry * Rx, translate back by minus the pivot.
void nodeMatrix(const Scene_NodeKey& pose, float matrix[16]);

// ---- Drawing -------------------------------------------------------------------------------------

// Poses and draws the scene at show time `time` (seconds) with sceneShader: opaque meshes first,
// translucent ones second. Leaves the projection set to the camera and the modelview to its view,
// texture unit 0 active, no program current, depth testing and blending off.
void drawScene(Scene* scene, float time);

// Draws one node and its subtree in the current pass (scenePass); nothing for a missing node.
void drawNode(Scene_Node* node, float time);

// ---- GL buffers ----------------------------------------------------------------------------------

// Makes both buffer sets of a node with vertices: the first from morph frame 0, the second from the
// last morph frame, each with the node's indices. Leaves no array or element buffer bound.
void createMeshBuffers(Scene_Node* node);

// Deletes both buffer sets and zeroes their names. Call with the context current.
void releaseMeshBuffers(Scene_MeshBuffers* buffers);

}  // namespace tavoFramework
