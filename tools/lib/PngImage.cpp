// libpng writing into memory.
#include "tools/lib/PngImage.h"

#include <png.h>

#include <cassert>
#include <stdexcept>

namespace tavoFramework {

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

}  // namespace

PngImage::PngImage(int width, int height, int channels)
    : imageWidth(width), imageHeight(height), imageChannels(channels),
      bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(channels))
{
    assert((channels == 3 || channels == 4) && "a truecolour picture has 3 or 4 channels");
    assert(width > 0 && height > 0 && "a picture needs at least one pixel");
}

std::vector<std::uint8_t> PngImage::encode() const
{
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng could not start");
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng failed to encode a picture");
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_compression_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_IHDR(png, info, static_cast<png_uint_32>(imageWidth), static_cast<png_uint_32>(imageHeight), 8,
                 imageChannels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    for (int y = 0; y < imageHeight; ++y)
        png_write_row(png, const_cast<png_bytep>(pixel(0, y)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace tavoFramework
