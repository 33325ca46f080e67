// The committed show files as the show opens them: every picture becomes a truecolour texture,
// the sync file holds every controller the layers look up, and the music is the score's song
// with its kicks on the beat and its low bands carrying the beat.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "ContentPaths.h"
#include "gl/GL_TextureManager.h"
#include "layers/Layer_PP.h"
#include "layers/Layer_Prompter.h"
#include "layers/Layer_Stagelight.h"
#include "tests/support/GLTestContext.h"
#include "sync/Sync_ControllerList.h"
#include "tools/lib/KickTiming.h"
#include "tools/lib/SongSynth.h"
#include "tools/lib/SpectrumProbe.h"

using namespace tavoFramework;

namespace {

class ShowFiles : public tavoTest::InResources {
protected:
    tavoTest::GLTestContext context{64, 64};
};

}  // namespace

TEST_F(ShowFiles, EveryPictureLoadsAsATruecolourTexture)
{
    ASSERT_TRUE(context.valid());
    struct Picture {
        const char* name;  // as the show asks for it
        GLint width, height;
    };
    const Picture pictures[] = {
        {"data\\textures\\loading.png", 1024, 576},
        {"data\\textures\\distortion.png", 256, 256},
        {"flare1.png", 256, 256},
        {"flare2.png", 256, 256},
        {"karaoke//lyrics.png", 1024, 4096},
        {"karaoke//derspringendepunkt.png", 64, 64},
        {"editor//button-linear.png", 64, 64},
        {"editor//button-smoothstep.png", 64, 64},
        {"editor//button-exponential.png", 64, 64},
        {"editor//button-minexponential.png", 64, 64},
        {"editor//button-man-valval.png", 64, 64},
        {"editor//button-man-valzero.png", 64, 64},
        {"editor//button-man-valone.png", 64, 64},
        {"editor//button-man-zeroval.png", 64, 64},
        {"editor//button-man-oneval.png", 64, 64},
        {"editor//button-man-oneone.png", 64, 64},
        {"editor//button-man-zerozero.png", 64, 64},
        {"editor//button-play.png", 64, 64},
        {"editor//button-pause.png", 64, 64},
        {"editor//button-record.png", 64, 64},
    };
    GL_TextureManager textures;
    for (const Picture& picture : pictures) {
        GL_Texture* texture = textures.getTexture(picture.name, GL_REPEAT, GL_REPEAT);
        ASSERT_NE(texture, nullptr) << picture.name;
        EXPECT_TRUE(texture->format == GL_RGB || texture->format == GL_RGBA) << picture.name;
        EXPECT_EQ(texture->width, picture.width) << picture.name;
        EXPECT_EQ(texture->height, picture.height) << picture.name;
    }
    // The dots picture is only read into memory, never uploaded; its bytes per pixel still count.
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, bytesPerPixel = 0;
    ASSERT_TRUE(loadImageFile("karaoke//dots.png", pixels, width, height, bytesPerPixel));
    delete[] pixels;
    EXPECT_TRUE(bytesPerPixel == 3 || bytesPerPixel == 4);
}

TEST_F(ShowFiles, TheSyncFileHoldsEveryControllerTheLayersReadWithKeys)
{
    ASSERT_TRUE(context.valid());
    Sync_ControllerList controllers;
    ASSERT_TRUE(controllers.loadFile("data\\demosynch.dat"));
    const int stored = controllers.count();

    GL_TextureManager textures;
    Layer_Stagelight::startGate = false;
    Layer_PP postprocessor(64, 64, 0);
    Layer_Stagelight stagelight;
    Layer_Prompter prompter;
    testing::internal::CaptureStderr();  // the prompter's dot report
    for (Layer_Base* layer : std::initializer_list<Layer_Base*>{&postprocessor, &stagelight, &prompter})
        ASSERT_TRUE(layer->load(&textures, &controllers));
    testing::internal::GetCapturedStderr();

    EXPECT_EQ(controllers.count(), stored) << "a layer asked for a controller the file does not hold: "
                                           << controllers.nameAt(controllers.count() - 1);
    EXPECT_EQ(stored, 26) << "eighteen of the post-processor, three of the lights, five of the prompter";
    for (int i = 0; i < controllers.count(); ++i) {
        const Sync_Controller* controller = controllers.at(i);
        EXPECT_GE(controller->keyCount(), 2) << controller->name;
        EXPECT_FLOAT_EQ(controller->keyTime(0), 0.0f) << controller->name << " is set from the first frame";
        EXPECT_FLOAT_EQ(controller->keyTime(controller->keyCount() - 1), 2105.0f) << controller->name << " to the end";
    }
}

TEST_F(ShowFiles, TheMusicIsTheSongWithItsKicksOnTheBeat)
{
    SpectrumProbe music;
    std::string error;
    ASSERT_TRUE(music.open("data/Veltrin - Say My Tirrel.mp3", error)) << error;
    const Score& score = tavoTest::song();
    EXPECT_NEAR(music.seconds(), score.lengthSeconds() + SongSynth::tailSeconds, 0.05);

    const StereoAudio audio = music.audio();
    EXPECT_LT(audio.peak(), 0.99f) << "no clipping";

    const std::vector<double> offsets = kickOffsets(score, audio);
    ASSERT_GT(offsets.size(), 300u);
    for (double offset : offsets)
        ASSERT_LT(std::fabs(offset), 0.005) << "a kick heard more than 5 ms off its beat";

    // The corner lights follow the low bands: loud with the choruses' kicks, quiet in the break.
    auto meanLowSum = [&](const char* section) {
        const double start = score.sectionStart(section);
        float sum = 0;
        int count = 0;
        for (double t = start; t < start + 16.0; t += 0.05, ++count)
            sum += music.lowSum(t);
        return sum / static_cast<float>(count);
    };
    EXPECT_GT(meanLowSum("chorus1"), 1.5f * meanLowSum("break"));
    EXPECT_GT(meanLowSum("chorus1"), 1.0f) << "a level the lights can show";
}
