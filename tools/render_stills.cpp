// Renders the show at chosen show times to PNG files, off-screen:
//   render_stills RESOURCES OUTPUT_FOLDER WIDTHxHEIGHT SECONDS...
// The show's own layers, sync file and music are loaded from RESOURCES as the show loads them;
// every frame is drawn by the runtime's drawFrame, with the controllers evaluated at its time and
// the spectrum of the music heard at that moment. Frames run in time order from 0 s in steps of
// one second, then at 60 per second over the last second before each still, so the stage lights'
// phase (integrated over the frames) and music level have followed the show's history much as
// they do while it plays.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gl/Blur.h"
#include "gl/GL_TextureManager.h"
#include "layers/Layer_Stagelight.h"
#include "platform/GL_Window.h"
#include "platform/OpenGL.h"
#include "platform/Platform.h"
#include "runtime/Demo.h"
#include "runtime/ShowLayers.h"
#include "sync/Sync_ControllerList.h"
#include "tools/lib/ContentFiles.h"
#include "tools/lib/PngImage.h"
#include "tools/lib/SpectrumProbe.h"

using namespace tavoFramework;

namespace {

const double coarseStep = 1.0;   // seconds; the layer caps the music level's step, so it stays stable
const double settleTime = 1.0;   // seconds drawn at the show's pace before each still
const double settleStep = 1.0 / 60.0;

PngImage readWindow(int width, int height)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    PngImage image(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* from = &rgba[(static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
                                              static_cast<std::size_t>(x)) * 4];
            std::copy(from, from + 3, image.pixel(x, y));
        }
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 0, height = 0;
    if (argc < 5 || std::sscanf(argv[3], "%dx%d", &width, &height) != 2 || width < 16 || height < 16) {
        std::fprintf(stderr, "usage: render_stills RESOURCES OUTPUT_FOLDER WIDTHxHEIGHT SECONDS...\n");
        return 2;
    }
    std::vector<double> times;
    for (int i = 4; i < argc; ++i)
        times.push_back(std::atof(argv[i]));
    std::sort(times.begin(), times.end());
    const std::filesystem::path output = std::filesystem::absolute(argv[2]);

    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!platform::setWorkingDirectory(argv[1])) {
        std::fprintf(stderr, "cannot enter %s\n", argv[1]);
        return 1;
    }
    SpectrumProbe music;
    std::string error;
    if (!music.open("data/Veltrin - Say My Tirrel.mp3", error))
        std::fprintf(stderr, "%s; the stills are drawn without music\n", error.c_str());

    GL_Window window;
    if (!window.create("stills", width, height, 1.77f, false, demoWindowProcedure)) {
        std::fprintf(stderr, "no OpenGL window\n");
        return 1;
    }
    Demo& demo = Demo::instance();
    Sync_ControllerList controllers;
    controllers.loadFile("data\\demosynch.dat");
    demo.controllers = &controllers;
    demo.textures = new GL_TextureManager;
    buildShowLayers(demo, width, height);
    Layer_Stagelight::startGate = false;
    if (!demo.loadLayers(window.window)) {
        std::fprintf(stderr, "a layer did not load\n");
        return 1;
    }
    initBlur(width, height);

    double now = 0;
    auto frame = [&](double seconds, double delta) {
        demo.drawFrame(static_cast<float>(seconds), static_cast<float>(delta),
                       music.seconds() > 0 ? music.spectrum(seconds) : nullptr);
        now = seconds;
    };
    for (double still : times) {
        while (now + coarseStep < still - settleTime)
            frame(now + coarseStep, coarseStep);
        while (now + settleStep < still)
            frame(now + settleStep, settleStep);
        frame(still, settleStep);
        char name[64];
        std::snprintf(name, sizeof name, "still-%08.3f.png", still);
        if (!writeContentFile((output / name).string(), readWindow(width, height).encode()))
            return 1;
        platform::swapBuffers(window.window);
        std::printf("%s\n", (output / name).c_str());
    }
    shutdownBlur();
    window.destroy();
    return 0;
}
