// Textures shared by name: each image file is decoded and uploaded once per run. The manager
// owns what it makes; users borrow pointers that stay valid until the manager is destroyed.
#pragma once

#include <map>
#include <string>

#include "gl/GL_Texture.h"

namespace tavoFramework {

class GL_TextureManager {
public:
    GL_TextureManager() = default;
    // Releases every texture it holds (while a context is current) and deletes them.
    virtual ~GL_TextureManager();
    GL_TextureManager(const GL_TextureManager&) = delete;  // the manager owns its textures
    GL_TextureManager& operator=(const GL_TextureManager&) = delete;

    // The texture for `name` (a file name as written, e.g. "data\textures\loading.png"), loading
    // it on first use with these wrap modes; null when the file cannot be loaded (tried again on
    // the next request). A later request with other wrap modes gets the first texture unchanged.
    GL_Texture* getTexture(const char* name, GLint wrapS, GLint wrapT);

    // Stores `texture` under `name` unless a texture is already there. True when the name already
    // held one (nothing changes), false when `texture` was stored (the manager then owns it).
    bool addTexture(const char* name, GL_Texture* texture);

private:
    std::map<std::string, GL_Texture*> textures;
};

// Decodes an image file through DevIL. On success the caller owns `pixels` (delete[]); rows
// come top row first for PNG files, bytes exactly as decoded. On failure the out-values are
// untouched and false is returned.
bool loadImageFile(const char* path, unsigned char*& pixels, int& width, int& height, int& bytesPerPixel);

}  // namespace tavoFramework
