// The committed show files are what the tools make from the sources in tools/, byte for byte:
// a change to the score, the choreography or a drawing must come with its regenerated files
// (tools/regenerate.sh).
#include <gtest/gtest.h>

#include <filesystem>

#include "ContentPaths.h"
#include "sync/Sync_ControllerList.h"
#include "tools/lib/Choreography.h"
#include "tools/lib/ContentFiles.h"
#include "tools/lib/FontFace.h"
#include "tools/lib/KaraokeSheet.h"
#include "tools/lib/Mp3Encoder.h"
#include "tools/lib/ShowPictures.h"
#include "tools/lib/SongSynth.h"

using namespace tavoFramework;

namespace {

// Compares without printing megabytes when the files differ.
void expectCommitted(const std::string& relative, const std::vector<std::uint8_t>& fresh)
{
    std::vector<std::uint8_t> committed;
    ASSERT_TRUE(readContentFile(tavoTest::resourcesPath + "/" + relative, committed)) << relative << " is missing";
    EXPECT_EQ(committed.size(), fresh.size()) << relative;
    EXPECT_TRUE(committed == fresh) << relative << " differs from a fresh regeneration";
}

}  // namespace

TEST(Reproduction, PicturesMatchAFreshDrawing)
{
    for (const ShowPicture& picture : pictures::all())
        expectCommitted(picture.path, picture.image.encode());
}

TEST(Reproduction, KaraokeFilesMatchAFreshLayout)
{
    KaraokeSheet sheet;
    std::string error;
    ASSERT_TRUE(sheet.build(tavoTest::song(), FontFace::sansBold, error)) << error;
    const std::string timeCodes = sheet.timeCodes();
    expectCommitted("karaoke/mytirrel_timecode.txt", std::vector<std::uint8_t>(timeCodes.begin(), timeCodes.end()));
    expectCommitted("karaoke/lyrics.png", sheet.lyrics().encode());
    expectCommitted("karaoke/dots.png", sheet.dots().encode());
}

TEST(Reproduction, SyncFileMatchesTheChoreography)
{
    Choreography choreography;
    std::string error;
    ASSERT_TRUE(Choreography::load(tavoTest::choreographyPath, tavoTest::song(), choreography, error)) << error;
    Sync_ControllerList controllers;
    choreography.apply(controllers);
    const std::string path = (std::filesystem::temp_directory_path() / "tavo-content-demosynch.dat").string();
    ASSERT_TRUE(controllers.saveFile(path.c_str()));
    std::vector<std::uint8_t> fresh;
    ASSERT_TRUE(readContentFile(path, fresh));
    std::filesystem::remove(path);
    expectCommitted("data/demosynch.dat", fresh);
}

// Renders and encodes the whole song: the slowest test of the suite (about half a minute).
TEST(Reproduction, MusicMatchesAFreshRender)
{
    const StereoAudio audio = SongSynth(tavoTest::song(), 44100).render();
    std::vector<std::uint8_t> mp3;
    std::string error;
    ASSERT_TRUE(Mp3Encoder::encode(audio, mp3, error)) << error;
    expectCommitted("data/Veltrin - Say My Tirrel.mp3", mp3);
}
