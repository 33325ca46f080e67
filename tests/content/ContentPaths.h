// Where the content tests find the score, the choreography and the committed show files, and a
// fixture that runs a test inside resources/ the way the show does (names relative to it).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/Platform.h"
#include "tools/lib/Choreography.h"
#include "tools/lib/Score.h"

namespace tavoTest {

inline std::string sourcePath(const std::string& relative)
{
    return std::string(TAVO_SOURCE_DIR) + "/" + relative;
}

inline const std::string scorePath = sourcePath("tools/score/song.txt");
inline const std::string choreographyPath = sourcePath("tools/score/choreography.txt");
inline const std::string resourcesPath = sourcePath("resources");

// The song's score, read once for all tests.
inline const tavoFramework::Score& song()
{
    static const tavoFramework::Score score = [] {
        tavoFramework::Score loaded;
        std::string error;
        EXPECT_TRUE(tavoFramework::Score::load(scorePath, loaded, error)) << error;
        return loaded;
    }();
    return score;
}

// Runs each test with resources/ as the working directory, and restores the previous one.
class InResources : public testing::Test {
protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        ASSERT_TRUE(tavoFramework::platform::setWorkingDirectory(resourcesPath.c_str()));
    }
    void TearDown() override { std::filesystem::current_path(previous); }

private:
    std::filesystem::path previous;
};

}  // namespace tavoTest
