// Small scenes for the scene-drawing and depth-pass tests: a camera at a point looking down -z,
// square meshes facing it, node keys, and one-colour textures.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gl/GL_MemTexture.h"
#include "layers/Scene_Builder.h"

namespace tavoTest {

// Looks from (x, y, z) down -z with y up; 90 degrees both ways (so the view reaches as far to the
// side as it does ahead), near 1, far 1000.
inline tavoFramework::Scene_CameraKey cameraAt(float x, float y, float z, float fieldOfView = 90.0f)
{
    return {0.0f, {x, y, z}, {0.0f, 0.0f, -1.0f}, {0.0f, 1.0f, 0.0f}, fieldOfView, fieldOfView, 1.0f, 1000.0f};
}

inline tavoFramework::Scene_NodeKey nodeKey(float frame, float x, float y, float z, std::uint8_t visible = 1)
{
    return {frame, {x, y, z}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, visible};
}

// A square facing +z, centred on (x, y, z) with the given half size, one morph frame at frame 0
// unless `frames` says otherwise; every extra morph frame shifts the square by `shift` along x.
inline tavoFramework::Scene_Builder::Mesh squareMesh(float x, float y, float z, float halfSize,
                                                     tavoFramework::GL_Texture* texture,
                                                     std::vector<float> frames = {0.0f}, float shift = 0.0f)
{
    tavoFramework::Scene_Builder::Mesh mesh;
    mesh.morphFrames = frames;
    for (std::size_t frame = 0; frame < frames.size(); ++frame) {
        const float left = x - halfSize + shift * static_cast<float>(frame);
        const float right = x + halfSize + shift * static_cast<float>(frame);
        mesh.positions.insert(mesh.positions.end(), {left, y - halfSize, z, right, y - halfSize, z,
                                                     right, y + halfSize, z, left, y + halfSize, z});
        mesh.texCoords.insert(mesh.texCoords.end(), {0, 0, 1, 0, 1, 1, 0, 1});
        mesh.normals.insert(mesh.normals.end(), {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1});
    }
    mesh.indices = {0, 1, 2, 0, 2, 3};
    mesh.textures[0] = texture;
    return mesh;
}

// A texture of `width` x 1 texels of `channels` bytes each (3: GL_RGB, 4: GL_RGBA).
inline std::unique_ptr<tavoFramework::GL_MemTexture> makeTexture(const std::vector<std::uint8_t>& pixels, int channels)
{
    auto texture = std::make_unique<tavoFramework::GL_MemTexture>();
    const int width = static_cast<int>(pixels.size()) / channels;
    texture->upload(pixels.data(), width, 1, channels == 4 ? GL_RGBA : GL_RGB, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
    return texture;
}

}  // namespace tavoTest
