// File helpers of the content tools.
#include "tools/lib/ContentFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tavoFramework {

bool readContentFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeContentFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ignored;
    if (!folder.empty())
        std::filesystem::create_directories(folder, ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool writeContentFile(const std::string& path, const std::string& text)
{
    return writeContentFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace tavoFramework
