// Whole-file reading and writing for the content tools, creating folders as needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavoFramework {

// False when the file cannot be opened or read.
bool readContentFile(const std::string& path, std::vector<std::uint8_t>& bytes);
// Writes `bytes` to `path`, creating its folder; false (with a message on stderr) on failure.
bool writeContentFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool writeContentFile(const std::string& path, const std::string& text);

}  // namespace tavoFramework
