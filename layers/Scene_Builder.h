// Builds a scene in memory: camera and light keys, a node tree with keys and meshes. The builder
// owns every array the scene's records point to; the scene stays valid while the builder lives.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "layers/Scene.h"

namespace tavoFramework {

class Scene_Builder {
public:
    // The geometry and look of one mesh node. Every array holds all morph frames, frame 0 first.
    struct Mesh {
        std::vector<float> morphFrames;      // frame numbers, ascending; at least one
        std::vector<float> positions;        // 3 per vertex per morph frame
        std::vector<float> texCoords;        // 2 per vertex per morph frame
        std::vector<float> normals;          // 3 per vertex per morph frame
        std::vector<std::uint32_t> indices;  // triangle list, each below the vertex count
        Scene_Material material{};
        GL_Texture* textures[3] = {};        // borrowed, units 0, 1 and 2; the first is required
    };

    Scene_Builder();
    ~Scene_Builder();  // frees the arrays only: releaseBuffers first while the context is current
    Scene_Builder(const Scene_Builder&) = delete;
    Scene_Builder& operator=(const Scene_Builder&) = delete;

    Scene* scene() { return &built; }

    void addCameraKey(const Scene_CameraKey& key);           // one per frame, frame 0 first
    void addLightKey(int light, const Scene_LightKey& key);  // light 0 or 1; one per frame

    // A new node without keys or mesh: the root when `parent` is none (the scene has no root yet),
    // else appended to the parent's children. The pointer stays valid while the builder lives.
    Scene_Node* addNode(Scene_Node* parent);
    void addNodeKey(Scene_Node* node, const Scene_NodeKey& key);  // ascending frame numbers

    // Gives the node its mesh; the morphed arrays start as morph frame 0. False, and the node
    // unchanged, when the mesh is inconsistent: no morph frame, array sizes that do not make whole
    // vertices of every frame, frames out of order, an index past the vertices, or no first texture.
    bool setMesh(Scene_Node* node, Mesh mesh);

    // Makes (and deletes) the GL buffers of every node with a mesh. Context current.
    void createBuffers();
    void releaseBuffers();

private:
    struct NodeStore;
    NodeStore& storeOf(Scene_Node* node);

    Scene built{};
    std::vector<Scene_CameraKey> cameraKeys;
    std::vector<Scene_LightKey> lightKeys[2];
    std::vector<std::unique_ptr<NodeStore>> nodes;  // stable addresses: records point into them
};

}  // namespace tavoFramework
