// Posing and drawing of keyframe-animated scenes, and the GL buffers of their meshes.
#include "layers/Scene.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>

namespace tavoFramework {

GL_Shader defaultSceneShader;
GL_Shader* sceneShader = &defaultSceneShader;
bool sceneBlendingAllowed = true;
float sceneAlphaReference = 0.0f;
float sceneLightDiffuseAlphaScale = 0.0f;
float sceneLightSpecularAlpha = 0.0f;
// -1 is GL's "no uniform": until a user sets them, the values go nowhere rather than into
// whatever uniform of the current program sits at location 0.
GLint sceneOpacityUniform = -1;
GLint sceneThirdTextureUniform = -1;
int scenePass = 2;

namespace {

constexpr float degreesToRadians = 0.017453292f;
constexpr float fieldOfViewPi = 3.1415f;  // the fields of view are converted with this value of pi

constexpr int opaquePass = 2;
constexpr int translucentPass = 1;

// Below this transparency a mesh counts as opaque; from the second value on it is translucent.
// Meshes with an RGB first texture in between are drawn in neither pass.
constexpr float opaqueTransparency = 0.00001f;
constexpr float translucentTransparency = 0.0001f;

float mix(float from, float to, float weight)
{
    return from + (to - from) * weight;
}

void mixArray(const float* from, const float* to, float weight, float* out, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = mix(from[i], to[i], weight);
}

float distance3(const float* a, const float* b)
{
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Show time to animation frames; keys indexed by frame ignore times before 0.
float frameOfTime(float time)
{
    return std::max(time * sceneFramesPerSecond, 0.0f);
}

GLenum firstTextureFormat(const Scene_Node& node)
{
    return node.meshBuffers->textures[0]->format;
}

// Whether a mesh node takes part in the current pass.
bool passAccepts(const Scene_Node& node)
{
    const float transparency = node.material->transparency;
    if (scenePass == opaquePass)
        return transparency < opaqueTransparency && firstTextureFormat(node) == GL_RGB;
    return transparency >= translucentTransparency || firstTextureFormat(node) == GL_RGBA;
}

// Binds a mesh texture on its unit, or no texture on that unit when the mesh has none there. The
// unit is made active first: binding none on whichever unit is active would take a mesh's first
// texture off unit 0 whenever it lacks a second one.
void bindMeshTexture(GL_Texture* texture, GLenum unit)
{
    if (texture) {
        texture->bind(unit);
    } else {
        glActiveTexture(unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

// The fixed-function pipeline (no program) has no uniforms to receive the value.
void setSceneUniform(GLint location, float value)
{
    if (sceneShader->program != 0)
        glUniform1f(location, value);
}

void drawBufferSet(const GLuint* buffers, GLsizei indexCount)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffers[SCENE_BUFFER_POSITIONS]);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[SCENE_BUFFER_NORMALS]);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[SCENE_BUFFER_TEXCOORDS]);
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[SCENE_BUFFER_INDICES]);
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

// Textures, uniforms, material and geometry of a visible mesh node.
void drawMesh(const Scene_Node& node, bool morphing, float frame)
{
    const Scene_MeshBuffers& mesh = *node.meshBuffers;
    const Scene_Material& material = *node.material;
    const float opacity = 1.0f - material.transparency;

    bindMeshTexture(mesh.textures[0], GL_TEXTURE0);
    bindMeshTexture(mesh.textures[1], GL_TEXTURE1);
    bindMeshTexture(mesh.textures[2], GL_TEXTURE2);
    setSceneUniform(sceneThirdTextureUniform, mesh.textures[2] ? 0.0f : 1.0f);
    if (scenePass == translucentPass) {
        if (sceneBlendingAllowed)
            glEnable(GL_BLEND);
        setSceneUniform(sceneOpacityUniform, firstTextureFormat(node) == GL_RGBA ? 1.0f : opacity);
    }
    glActiveTexture(GL_TEXTURE0);

    const float ambientDiffuse[4] = {material.diffuse[0], material.diffuse[1], material.diffuse[2], opacity};
    const float specular[4] = {material.specular[0], material.specular[1], material.specular[2], opacity};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambientDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, ambientDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, (1.0f - material.shininess) * 52.0f + 12.0f);

    const GLsizei indexCount = static_cast<GLsizei>(node.indexCount);
    if (!morphing) {
        drawBufferSet(mesh.firstBuffers, indexCount);
    } else if (frame > node.morphFrames[node.morphFrameCount - 1]) {
        drawBufferSet(mesh.secondBuffers, indexCount);
    } else {
        glVertexPointer(3, GL_FLOAT, 0, mesh.morphedPositions);
        glNormalPointer(GL_FLOAT, 0, mesh.morphedNormals);
        glTexCoordPointer(2, GL_FLOAT, 0, mesh.morphedTexCoords);
        glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, node.indices);
    }
}

void setLight(GLenum light, const Scene_LightKey& key)
{
    const float position[4] = {key.position[0], key.position[1], key.position[2], 1.0f};
    const float diffuse[4] = {key.colour[0], key.colour[1], key.colour[2], sceneLightDiffuseAlphaScale * key.intensity};
    const float specular[4] = {0.0f, 0.0f, 0.0f, sceneLightSpecularAlpha};
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specular);
}

// One buffer object holding `bytes` bytes of `data`.
GLuint makeBuffer(GLenum target, const void* data, std::size_t bytes)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    return buffer;
}

void makeBufferSet(const Scene_Node& node, std::uint32_t morphFrame, GLuint* buffers)
{
    const std::size_t vertices = node.vertexCount;
    const std::size_t first = morphFrame * vertices;
    buffers[SCENE_BUFFER_POSITIONS] = makeBuffer(GL_ARRAY_BUFFER, node.morphPositions + first * 3, vertices * 3 * sizeof(float));
    buffers[SCENE_BUFFER_NORMALS] = makeBuffer(GL_ARRAY_BUFFER, node.morphNormals + first * 3, vertices * 3 * sizeof(float));
    buffers[SCENE_BUFFER_TEXCOORDS] = makeBuffer(GL_ARRAY_BUFFER, node.morphTexCoords + first * 2, vertices * 2 * sizeof(float));
    buffers[SCENE_BUFFER_INDICES] = makeBuffer(GL_ELEMENT_ARRAY_BUFFER, node.indices, node.indexCount * sizeof(std::uint32_t));
}

}  // namespace

Scene_CameraKey poseCamera(const Scene& scene, float time)
{
    assert(scene.cameraKeyCount > 0 && "a scene needs at least one camera key");
    const float f = frameOfTime(time);
    const std::uint32_t last = scene.cameraKeyCount - 1;
    if (!(f < static_cast<float>(last)))
        return scene.cameraKeys[last];

    const std::uint32_t i = static_cast<std::uint32_t>(f);
    const Scene_CameraKey& from = scene.cameraKeys[i];
    const Scene_CameraKey& to = scene.cameraKeys[i + 1];
    if (!(distance3(from.position, to.position) < sceneCameraCutDistance))
        return to;

    const float weight = f - static_cast<float>(i);
    Scene_CameraKey key;
    key.reserved = mix(from.reserved, to.reserved, weight);
    mixArray(from.position, to.position, weight, key.position, 3);
    mixArray(from.direction, to.direction, weight, key.direction, 3);
    mixArray(from.up, to.up, weight, key.up, 3);
    key.fovH = mix(from.fovH, to.fovH, weight);
    key.fovV = mix(from.fovV, to.fovV, weight);
    key.nearDistance = mix(from.nearDistance, to.nearDistance, weight);
    key.farDistance = mix(from.farDistance, to.farDistance, weight);
    const float upLength = std::sqrt(key.up[0] * key.up[0] + key.up[1] * key.up[1] + key.up[2] * key.up[2]);
    if (upLength > 0.0f) {
        for (float& component : key.up)
            component /= upLength;
    }
    return key;
}

Scene_LightKey poseLight(const Scene& scene, int light, float time)
{
    const std::uint32_t count = scene.lightKeyCounts[light];
    assert(count > 0 && "posing a light without keys");
    const Scene_LightKey* keys = scene.lightKeys[light];
    const float f = frameOfTime(time);
    const std::uint32_t last = count - 1;
    const std::uint32_t i = f < static_cast<float>(last) ? static_cast<std::uint32_t>(f) : last;
    const std::uint32_t j = std::min(i + 1, last);
    const float weight = f - static_cast<float>(i);

    Scene_LightKey key = keys[i];
    mixArray(keys[i].position, keys[j].position, weight, key.position, 3);
    mixArray(keys[i].colour, keys[j].colour, weight, key.colour, 3);
    key.intensity = mix(keys[i].intensity, keys[j].intensity, weight);
    return key;
}

Scene_NodeKey poseNode(const Scene_Node& node, float time)
{
    assert(node.keyCount > 0 && "posing a node without keys");
    const float f = time * sceneFramesPerSecond;
    const Scene_NodeKey* begin = node.keys;
    const Scene_NodeKey* end = begin + node.keyCount;
    const Scene_NodeKey* after = std::upper_bound(begin, end, f,
                                                  [](float frame, const Scene_NodeKey& key) { return frame < key.frame; });
    const Scene_NodeKey* b = after == begin ? begin : after - 1;

    Scene_NodeKey pose = *b;
    pose.frame = f;
    if (after != begin && after != end) {
        const float weight = (f - b->frame) / (after->frame - b->frame);
        mixArray(b->translation, after->translation, weight, pose.translation, 3);
        mixArray(b->pivot, after->pivot, weight, pose.pivot, 3);
        mixArray(b->rotation, after->rotation, weight, pose.rotation, 3);
    }
    return pose;
}

bool morphNode(const Scene_Node& node, float time)
{
    const float f = time * sceneFramesPerSecond;
    if (node.morphFrameCount < 2 || !(f > node.morphFrames[0]))
        return false;
    const float* frames = node.morphFrames;
    const float* lastFrame = frames + node.morphFrameCount - 1;
    if (f > *lastFrame)
        return true;

    // f lies in (frame q, frame r]: the mesh glides from morph frame q to morph frame r.
    const std::size_t r = static_cast<std::size_t>(std::lower_bound(frames, lastFrame, f) - frames);
    const std::size_t q = r - 1;
    const float weight = (f - frames[q]) / (frames[r] - frames[q]);
    const std::size_t vertices = node.vertexCount;
    Scene_MeshBuffers& mesh = *node.meshBuffers;
    mixArray(node.morphPositions + q * vertices * 3, node.morphPositions + r * vertices * 3, weight, mesh.morphedPositions, vertices * 3);
    mixArray(node.morphTexCoords + q * vertices * 2, node.morphTexCoords + r * vertices * 2, weight, mesh.morphedTexCoords, vertices * 2);
    mixArray(node.morphNormals + q * vertices * 3, node.morphNormals + r * vertices * 3, weight, mesh.morphedNormals, vertices * 3);
    return true;
}

void nodeMatrix(const Scene_NodeKey& pose, float matrix[16])
{
    const float y = pose.rotation[0] * degreesToRadians;
    const float x = pose.rotation[1] * degreesToRadians;
    const float z = pose.rotation[2] * degreesToRadians;
    const float cx = std::cos(x), sx = std::sin(x);
    const float cy = std::cos(y), sy = std::sin(y);
    const float cz = std::cos(z), sz = std::sin(z);

    // Rz * Ry * Rx, row by row.
    const float r[3][3] = {
        {cz * cy, cz * sy * sx - sz * cx, cz * sy * cx + sz * sx},
        {sz * cy, sz * sy * sx + cz * cx, sz * sy * cx - cz * sx},
        {-sy, cy * sx, cy * cx},
    };
    // Translation of T(translation) * T(pivot) * R * T(-pivot): translation + pivot - R * pivot.
    const float* p = pose.pivot;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            matrix[column * 4 + row] = r[row][column];
        matrix[12 + row] = pose.translation[row] + p[row] - (r[row][0] * p[0] + r[row][1] * p[1] + r[row][2] * p[2]);
        matrix[row * 4 + 3] = 0.0f;
    }
    matrix[15] = 1.0f;
}

void drawScene(Scene* scene, float time)
{
    const Scene_CameraKey camera = poseCamera(*scene, time);
    const float h = camera.fovH * fieldOfViewPi / 180.0f;
    const float v = camera.fovV * fieldOfViewPi / 180.0f;
    const float n = camera.nearDistance;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(n * std::tan(-h / 2), n * std::tan(h / 2), n * std::tan(-v / 2), n * std::tan(v / 2), n, camera.farDistance);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(camera.position[0], camera.position[1], camera.position[2],
              camera.position[0] + camera.direction[0], camera.position[1] + camera.direction[1],
              camera.position[2] + camera.direction[2], camera.up[0], camera.up[1], camera.up[2]);
    glPushMatrix();

    for (int light = 0; light < 2; ++light) {
        if (scene->lightKeyCounts[light] > 0)
            setLight(GL_LIGHT0 + light, poseLight(*scene, light, time));
    }

    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glUseProgram(sceneShader->program);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);

    scenePass = opaquePass;
    drawNode(scene->root, time);

    scenePass = translucentPass;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, sceneAlphaReference);
    drawNode(scene->root, time);

    glDisable(GL_BLEND);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glUseProgram(0);
    for (GLenum unit : {GL_TEXTURE1, GL_TEXTURE2, GL_TEXTURE0}) {
        glActiveTexture(unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glDisable(GL_DEPTH_TEST);
    glPopMatrix();
}

void drawNode(Scene_Node* node, float time)
{
    if (!node)
        return;
    bool visible = true;
    bool drawChildren = true;
    bool morphing = false;
    glPushMatrix();

    if (node->keyCount > 0) {
        const Scene_NodeKey pose = poseNode(*node, time);
        visible = drawChildren = pose.visible != 0;
        morphing = morphNode(*node, time);
        float matrix[16];
        nodeMatrix(pose, matrix);
        glMultMatrixf(matrix);
    }

    if (node->vertexCount > 0) {
        assert(node->material && node->meshBuffers && node->meshBuffers->textures[0] &&
               "a node with vertices needs a material, mesh buffers and a first texture");
        if (visible)
            visible = passAccepts(*node);
        if (visible && node->indexCount > 0)
            drawMesh(*node, morphing, time * sceneFramesPerSecond);
    }

    if (drawChildren) {
        for (std::uint32_t i = 0; i < node->childCount; ++i)
            drawNode(node->children[i], time);
    }
    glPopMatrix();
}

void createMeshBuffers(Scene_Node* node)
{
    assert(node->vertexCount > 0 && node->morphFrameCount > 0 && node->meshBuffers &&
           "buffers are made for nodes with vertices, at least one morph frame and mesh buffers");
    makeBufferSet(*node, 0, node->meshBuffers->firstBuffers);
    makeBufferSet(*node, node->morphFrameCount - 1, node->meshBuffers->secondBuffers);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void releaseMeshBuffers(Scene_MeshBuffers* buffers)
{
    glDeleteBuffers(4, buffers->firstBuffers);
    glDeleteBuffers(4, buffers->secondBuffers);
    std::fill(buffers->firstBuffers, buffers->firstBuffers + 4, 0u);
    std::fill(buffers->secondBuffers, buffers->secondBuffers + 4, 0u);
}

}  // namespace tavoFramework
