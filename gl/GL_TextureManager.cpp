// Shared textures by name, and the one function through which the system decodes image files.
#include "gl/GL_TextureManager.h"

#include <IL/il.h>  // image decoding

#include <cstring>
#include <limits>

#include "gl/GL_MemTexture.h"
#include "platform/Platform.h"
#include "runtime/Trace.h"

namespace tavoFramework {

namespace {
bool imageLibraryStarted = false;  // ilInit runs once per process
}  // namespace

// The manager owns its textures: their GL names go back while a context is current (otherwise
// they end with the context), and the objects are deleted.
GL_TextureManager::~GL_TextureManager()
{
    const bool contextCurrent = platform::glContextCurrent();
    for (auto& entry : textures) {
        if (entry.second && contextCurrent)
            entry.second->release();
        delete entry.second;
    }
    textures.clear();
}

GL_Texture* GL_TextureManager::getTexture(const char* name, GLint wrapS, GLint wrapT)
{
    GL_Texture*& held = textures[name];  // a failed name keeps its null entry
    if (held)
        return held;

    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
    if (!loadImageFile(name, pixels, width, height, bytesPerPixel))
        return nullptr;

    GL_MemTexture* texture = new GL_MemTexture;
    if (bytesPerPixel == 3) {
        texture->upload(pixels, width, height, GL_RGB, wrapS, wrapT);
    } else if (bytesPerPixel == 4) {
        texture->upload(pixels, width, height, GL_RGBA, wrapS, wrapT);
    } else {
        // Palette, grey and 16-bit images arrive in other layouts; the texture stays without an
        // image (32 x 32, no GL name), so the author is told why the picture does not show.
        Trace::write(WARNING, "textureManager", "%s has %d bytes per pixel; only 3 (RGB) or 4 (RGBA) make a texture",
                     name, bytesPerPixel);
    }
    delete[] pixels;

    addTexture(name, texture);
    return texture;
}

bool GL_TextureManager::addTexture(const char* name, GL_Texture* texture)
{
    GL_Texture*& held = textures[name];
    if (held)
        return true;
    held = texture;
    return false;
}

bool loadImageFile(const char* path, unsigned char*& pixels, int& width, int& height, int& bytesPerPixel)
{
    if (!imageLibraryStarted) {
        ilInit();
        imageLibraryStarted = true;
    }

    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    const std::string filePath = platform::filePath(path);
    bool loaded = ilLoadImage(filePath.c_str()) == IL_TRUE;

    // The decoder's answers are outside data: a size that is not positive, or whose byte count
    // does not fit in memory, is refused like an undecodable file.
    const ILint imageWidth = loaded ? ilGetInteger(IL_IMAGE_WIDTH) : 0;
    const ILint imageHeight = loaded ? ilGetInteger(IL_IMAGE_HEIGHT) : 0;
    const ILint imageBytesPerPixel = loaded ? ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL) : 0;
    const ILubyte* data = loaded ? ilGetData() : nullptr;
    loaded = loaded && data && imageWidth > 0 && imageHeight > 0 && imageBytesPerPixel > 0 &&
             static_cast<unsigned long long>(imageWidth) * imageHeight * imageBytesPerPixel <=
                 static_cast<unsigned long long>(std::numeric_limits<int>::max());
    if (loaded) {
        const std::size_t byteCount = static_cast<std::size_t>(imageWidth) * imageHeight * imageBytesPerPixel;
        pixels = new unsigned char[byteCount];
        std::memcpy(pixels, data, byteCount);
        width = imageWidth;
        height = imageHeight;
        bytesPerPixel = imageBytesPerPixel;
    }

    // The decoded copy is not needed once the pixels are ours.
    ilBindImage(0);
    ilDeleteImages(1, &image);
    return loaded;
}

}  // namespace tavoFramework
