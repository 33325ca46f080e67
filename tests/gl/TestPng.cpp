// PNG writer for test fixtures: signature, IHDR, optional PLTE, one IDAT of stored deflate
// blocks (no compression), IEND.
#include "tests/gl/TestPng.h"

#include <algorithm>
#include <cstdio>

namespace tavoTest {

namespace {

std::uint32_t crc32(const std::uint8_t* bytes, std::size_t count)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

void putBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putChunk(std::vector<std::uint8_t>& file, const char* type, const std::vector<std::uint8_t>& data)
{
    putBigEndian32(file, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    file.insert(file.end(), typed.begin(), typed.end());
    putBigEndian32(file, crc32(typed.data(), typed.size()));
}

// A zlib stream of stored blocks (at most 65535 bytes each) with its Adler-32 check.
std::vector<std::uint8_t> storedZlib(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + offset, raw.begin() + offset + length);
        offset += length;
    } while (offset < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBigEndian32(out, (b << 16) | a);
    return out;
}

int channelsOf(PngColourType colourType)
{
    switch (colourType) {
    case PNG_RGB: return 3;
    case PNG_GREY_ALPHA: return 2;
    case PNG_RGBA: return 4;
    default: return 1;
    }
}

}  // namespace

bool writePng(const std::string& path, int width, int height, PngColourType colourType, int bitDepth,
              const std::vector<std::uint8_t>& samples, const std::vector<std::uint8_t>& palette)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channelsOf(colourType) * bitDepth / 8;
    if (samples.size() != rowBytes * height)
        return false;

    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    putBigEndian32(header, static_cast<std::uint32_t>(width));
    putBigEndian32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {static_cast<std::uint8_t>(bitDepth), colourType, 0, 0, 0});
    putChunk(file, "IHDR", header);
    if (colourType == PNG_PALETTE)
        putChunk(file, "PLTE", palette);

    std::vector<std::uint8_t> raw;  // each row behind filter type 0 (none)
    for (int row = 0; row < height; ++row) {
        raw.push_back(0);
        raw.insert(raw.end(), samples.begin() + row * rowBytes, samples.begin() + (row + 1) * rowBytes);
    }
    putChunk(file, "IDAT", storedZlib(raw));
    putChunk(file, "IEND", {});

    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace tavoTest
