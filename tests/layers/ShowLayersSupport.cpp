// Scratch folders, PNG fixtures through the image library, and the main loop's slot drawing.
#include "tests/layers/ShowLayersSupport.h"

#include <IL/il.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/OpenGL.h"
#include "runtime/Demo.h"
#include "runtime/Trace.h"

namespace tavoTest {

ScratchFolder::ScratchFolder() : previous(tavoFramework::platform::workingDirectory())
{
    char pattern[] = "/tmp/tavo-layers-XXXXXX";
    if (!mkdtemp(pattern))
        return;
    if (!tavoFramework::platform::setWorkingDirectory(pattern)) {
        std::filesystem::remove_all(pattern);
        return;
    }
    path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    tavoFramework::platform::setWorkingDirectory(previous.c_str());
    if (!path.empty())
        std::filesystem::remove_all(path);
}

namespace {

void makeParentFolders(const std::string& name)
{
    const std::filesystem::path parent = std::filesystem::path(name).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent);
}

}  // namespace

bool writePicture(const std::string& name, int width, int height, int channels, const std::vector<std::uint8_t>& pixels)
{
    if ((channels != 3 && channels != 4) || pixels.size() != static_cast<std::size_t>(width) * height * channels)
        return false;
    makeParentFolders(name);
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::vector<std::uint8_t> copy = pixels;
    bool saved = ilTexImage(width, height, 1, static_cast<ILubyte>(channels), channels == 3 ? IL_RGB : IL_RGBA,
                            IL_UNSIGNED_BYTE, copy.data()) == IL_TRUE;
    if (saved) {
        ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);  // the first row given is the picture's top row
        ilEnable(IL_FILE_OVERWRITE);
        saved = ilSave(IL_PNG, name.c_str()) == IL_TRUE;
    }
    ilDeleteImages(1, &image);
    return saved;
}

bool writeFlatPicture(const std::string& name, int width, int height, const std::vector<std::uint8_t>& colour)
{
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * height * colour.size());
    for (int i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), colour.begin(), colour.end());
    return writePicture(name, width, height, static_cast<int>(colour.size()), pixels);
}

bool writeText(const std::string& name, const std::string& content)
{
    makeParentFolders(name);
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && written;
}

ShowTraceSettings::ShowTraceSettings()
    : maxLevel(tavoFramework::Trace::maxLevel), outputMode(tavoFramework::Trace::outputMode),
      quitLevel(tavoFramework::Trace::quitLevel)
{
    tavoFramework::Trace::maxLevel = tavoFramework::INFO;
    tavoFramework::Trace::outputMode = tavoFramework::TRACE_DEBUGGER;
    tavoFramework::Trace::quitLevel = -1;
}

ShowTraceSettings::~ShowTraceSettings()
{
    tavoFramework::Trace::maxLevel = maxLevel;
    tavoFramework::Trace::outputMode = static_cast<tavoFramework::TraceOutput>(outputMode);
    tavoFramework::Trace::quitLevel = quitLevel;
}

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> found;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
        start = end + 1;
    }
    return found;
}

void drawSlot(tavoFramework::Layer_Base& layer, const tavoFramework::Demo_FrameTime& frameTime)
{
    tavoFramework::Demo::drawLayer(layer, &frameTime);
}

}  // namespace tavoTest
