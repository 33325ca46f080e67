// File names written in the system's own style open here.
#include <gtest/gtest.h>

#include "platform/Platform.h"

using tavoFramework::platform::filePath;

TEST(FilePath, TurnsSystemNamesIntoPaths)
{
    const struct {
        const char* name;
        const char* path;
    } cases[] = {
        {"data\\textures\\loading.png", "data/textures/loading.png"},
        {"editor//button-play.png", "editor/button-play.png"},
        {"karaoke//mytirrel_timecode.txt", "karaoke/mytirrel_timecode.txt"},
        {".\\resources\\", "./resources/"},
        {"data\\\\demosynch.dat", "data/demosynch.dat"},
        {"flare1.png", "flare1.png"},
        {"data\\Veltrin - Say My Tirrel.mp3", "data/Veltrin - Say My Tirrel.mp3"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filePath(c.name), c.path) << c.name;
}
