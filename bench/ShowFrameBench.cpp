// Frames per second of the show's frame drawn off-screen: the post-processor's two uses around
// the stage lights, then the karaoke prompter, with the post-processor's blur off and at factor 1,
// at 1280 x 720 and 1920 x 1080; beside a frame that only clears and swaps, so the ratio shows
// what the layers cost. Run from the repository root: the layers load the show's pictures from
// resources/ (a missing picture is drawn without it).
#include <benchmark/benchmark.h>

#include <SDL.h>  // SDL_GL_SwapWindow, SDL_GL_GetCurrentWindow

#include <string>
#include <vector>

#include "gl/Blur.h"
#include "gl/GL_TextureManager.h"
#include "layers/Layer_PP.h"
#include "layers/Layer_Prompter.h"
#include "layers/Layer_Stagelight.h"
#include "platform/Platform.h"
#include "runtime/Demo.h"
#include "sync/Sync_ControllerList.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;

namespace {

constexpr int framesMeasured = 60;
constexpr float frameSeconds = 1.0f / 60.0f;

// Cleared as the main loop clears a frame; swapped, and finished so that the measured time holds
// the whole of the frame's drawing.
void clearFrame()
{
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void swapFrame()
{
    SDL_GL_SwapWindow(SDL_GL_GetCurrentWindow());
    glFinish();
}


void clearAndSwap(benchmark::State& state)
{
    tavoTest::GLTestContext context(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (!context.valid()) {
        state.SkipWithError("no GL context");
        return;
    }
    for (auto _ : state) {
        clearFrame();
        swapFrame();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// range(0) x range(1): the window; range(2): the blur factor in hundredths.
void showFrame(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    tavoTest::GLTestContext context(width, height);
    if (!context.valid()) {
        state.SkipWithError("no GL context");
        return;
    }
    const std::string root = platform::workingDirectory();
    platform::setWorkingDirectory("resources");
    initBlur(width, height);
    {
        GL_TextureManager textures;
        Sync_ControllerList controllers;
        Layer_PP postprocessor(width, height, 0);
        Layer_Stagelight lights;
        Layer_Prompter prompter;
        const bool loaded = postprocessor.load(&textures, &controllers) && lights.load(&textures, &controllers) &&
                            prompter.load(&textures, &controllers);
        if (!loaded) {
            state.SkipWithError("a layer did not load");
        } else {
            // Every light lit and swinging, the prompter shown, the chosen blur.
            controllers.findOrCreate("stagelight")->value = 1;
            controllers.findOrCreate("rotate stagelight")->value = 1;
            controllers.findOrCreate("change stagelight")->value = 1;
            controllers.findOrCreate("Karaoke: Text Transparency")->value = 1;
            controllers.findOrCreate("Karaoke: Text Position (Y)")->value = 0.25f;
            controllers.findOrCreate("Karaoke: Point Size")->value = 0.2f;
            controllers.findOrCreate("Postprocessor: blur factor")->value = static_cast<float>(state.range(2)) / 100.0f;

            const std::vector<float> spectrum(512, 0.05f);
            Demo_FrameTime frameTime;
            frameTime.delta = frameSeconds;
            frameTime.duration = 2105.0f;
            frameTime.spectrum = spectrum.data();
            for (auto _ : state) {
                frameTime.time += frameSeconds;
                frameTime.remaining = frameTime.duration - frameTime.time;
                clearFrame();
                Demo::drawLayer(postprocessor, &frameTime);
                Demo::drawLayer(lights, &frameTime);
                Demo::drawLayer(postprocessor, &frameTime);
                Demo::drawLayer(prompter, &frameTime);
                swapFrame();
            }
            state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
        }
    }
    shutdownBlur();
    platform::setWorkingDirectory(root.c_str());
}

}  // namespace

BENCHMARK(clearAndSwap)
    ->ArgNames({"width", "height"})
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->Iterations(framesMeasured)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(showFrame)
    ->ArgNames({"width", "height", "blur%"})
    ->Args({1280, 720, 0})
    ->Args({1280, 720, 100})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 100})
    ->Iterations(framesMeasured)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
