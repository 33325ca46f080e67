// Shared pieces of the show layers' tests: a scratch working folder holding the files a layer
// opens, picture and text fixtures written into it, and one slot drawn as the main loop draws it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/Layer_Base.h"

namespace tavoTest {

// A new empty folder, made the working directory while the object lives (layers open their files
// by relative names); the previous working directory comes back and the folder is removed after.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool valid() const { return !path.empty(); }

private:
    std::string path;
    std::string previous;
};

// Writes a PNG file of `channels` (3 or 4) bytes a pixel; `pixels` rows top row first. Folders in
// `name` (written with '/') are made. False when it cannot be written.
bool writePicture(const std::string& name, int width, int height, int channels, const std::vector<std::uint8_t>& pixels);

// A picture of one colour.
bool writeFlatPicture(const std::string& name, int width, int height, const std::vector<std::uint8_t>& colour);

bool writeText(const std::string& name, const std::string& content);

// Trace settings of the show (every level to standard error) with the quit test off, while the
// object lives; capture standard error to read the lines.
class ShowTraceSettings {
public:
    ShowTraceSettings();
    ~ShowTraceSettings();
    ShowTraceSettings(const ShowTraceSettings&) = delete;
    ShowTraceSettings& operator=(const ShowTraceSettings&) = delete;

private:
    std::uint32_t maxLevel;
    std::int32_t outputMode;
    std::int32_t quitLevel;
};

// The lines of `text` that begin with `prefix`, e.g. "WARNING (stagelight): ".
std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix);

// One occupied slot of a drawn frame: update, both matrices identity (modelview current), push,
// render, pop.
void drawSlot(tavoFramework::Layer_Base& layer, const tavoFramework::Demo_FrameTime& frameTime);

}  // namespace tavoTest
