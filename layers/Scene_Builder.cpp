// Scene building: vectors own the data, and the scene's records are re-pointed at them after
// every change.
#include "layers/Scene_Builder.h"

#include <algorithm>
#include <cassert>
#include <limits>

namespace tavoFramework {

struct Scene_Builder::NodeStore {
    Scene_Node node{};
    std::vector<Scene_NodeKey> keys;
    Mesh mesh;
    std::vector<Scene_Node*> children;
    Scene_MeshBuffers buffers{};
    std::vector<float> morphedPositions;
    std::vector<float> morphedNormals;
    std::vector<float> morphedTexCoords;
};

Scene_Builder::Scene_Builder() = default;
Scene_Builder::~Scene_Builder() = default;

void Scene_Builder::addCameraKey(const Scene_CameraKey& key)
{
    cameraKeys.push_back(key);
    built.cameraKeys = cameraKeys.data();
    built.cameraKeyCount = static_cast<std::uint32_t>(cameraKeys.size());
}

void Scene_Builder::addLightKey(int light, const Scene_LightKey& key)
{
    assert((light == 0 || light == 1) && "a scene has lights 0 and 1");
    lightKeys[light].push_back(key);
    built.lightKeys[light] = lightKeys[light].data();
    built.lightKeyCounts[light] = static_cast<std::uint32_t>(lightKeys[light].size());
}

Scene_Node* Scene_Builder::addNode(Scene_Node* parent)
{
    assert((parent || !built.root) && "a scene has one root: give later nodes a parent");
    nodes.push_back(std::make_unique<NodeStore>());
    Scene_Node* node = &nodes.back()->node;
    if (!parent) {
        built.root = node;
        return node;
    }
    NodeStore& store = storeOf(parent);
    store.children.push_back(node);
    parent->children = store.children.data();
    parent->childCount = static_cast<std::uint32_t>(store.children.size());
    return node;
}

void Scene_Builder::addNodeKey(Scene_Node* node, const Scene_NodeKey& key)
{
    NodeStore& store = storeOf(node);
    assert((store.keys.empty() || store.keys.back().frame <= key.frame) && "node keys come in ascending frames");
    store.keys.push_back(key);
    node->keys = store.keys.data();
    node->keyCount = static_cast<std::uint32_t>(store.keys.size());
}

bool Scene_Builder::setMesh(Scene_Node* node, Mesh mesh)
{
    const std::size_t frames = mesh.morphFrames.size();
    if (frames == 0 || !std::is_sorted(mesh.morphFrames.begin(), mesh.morphFrames.end()) || !mesh.textures[0])
        return false;
    const std::size_t vertices = mesh.positions.size() / (3 * frames);
    if (vertices == 0 || vertices > std::numeric_limits<std::uint32_t>::max() ||
        mesh.positions.size() != vertices * 3 * frames || mesh.texCoords.size() != vertices * 2 * frames ||
        mesh.normals.size() != vertices * 3 * frames || mesh.indices.size() % 3 != 0 ||
        mesh.indices.size() > std::numeric_limits<std::uint32_t>::max())
        return false;
    if (std::any_of(mesh.indices.begin(), mesh.indices.end(), [&](std::uint32_t index) { return index >= vertices; }))
        return false;

    NodeStore& store = storeOf(node);
    store.mesh = std::move(mesh);
    Mesh& kept = store.mesh;
    store.morphedPositions.assign(kept.positions.begin(), kept.positions.begin() + vertices * 3);
    store.morphedNormals.assign(kept.normals.begin(), kept.normals.begin() + vertices * 3);
    store.morphedTexCoords.assign(kept.texCoords.begin(), kept.texCoords.begin() + vertices * 2);
    std::copy(kept.textures, kept.textures + 3, store.buffers.textures);
    store.buffers.morphedPositions = store.morphedPositions.data();
    store.buffers.morphedNormals = store.morphedNormals.data();
    store.buffers.morphedTexCoords = store.morphedTexCoords.data();

    node->morphFrameCount = static_cast<std::uint32_t>(frames);
    node->morphFrames = kept.morphFrames.data();
    node->vertexCount = static_cast<std::uint32_t>(vertices);
    node->morphPositions = kept.positions.data();
    node->morphTexCoords = kept.texCoords.data();
    node->morphNormals = kept.normals.data();
    node->indexCount = static_cast<std::uint32_t>(kept.indices.size());
    node->indices = kept.indices.data();
    node->material = &kept.material;
    node->meshBuffers = &store.buffers;
    return true;
}

void Scene_Builder::createBuffers()
{
    for (const std::unique_ptr<NodeStore>& store : nodes) {
        if (store->node.vertexCount > 0)
            createMeshBuffers(&store->node);
    }
}

void Scene_Builder::releaseBuffers()
{
    for (const std::unique_ptr<NodeStore>& store : nodes) {
        if (store->node.vertexCount > 0)
            releaseMeshBuffers(&store->buffers);
    }
}

Scene_Builder::NodeStore& Scene_Builder::storeOf(Scene_Node* node)
{
    const auto found = std::find_if(nodes.begin(), nodes.end(),
                                    [node](const std::unique_ptr<NodeStore>& store) { return &store->node == node; });
    assert(found != nodes.end() && "the node was not made by this builder");
    return **found;
}

}  // namespace tavoFramework
