// Entry point of the show: start-up in order (trace, launcher, window, sound, controllers, layers,
// loading), the main loop, and the shut-down. The command line is ignored; the result is always 0.
// TAVO_START_GATE (1 or 0) is the one difference between the two programs built from this file.
#include "gl/GL_TextureManager.h"
#include "layers/Layer_Stagelight.h"
#include "platform/GL_Window.h"
#include "platform/Launcher.h"
#include "platform/Platform.h"
#include "platform/Sound.h"
#include "runtime/Demo.h"
#include "runtime/MusicTrack.h"
#include "runtime/ShowLayers.h"
#include "runtime/Trace.h"
#include "sync/Sync_ControllerList.h"

using namespace tavoFramework;

namespace {

// The demo window: closed until start-up opens it; its destructor closes it at exit if still open.
GL_Window demoWindow;

constexpr float pictureAspect = 1.77f;
constexpr float minimumSoundVersion = 3.75f;

// Steps from opening the music to stopping it: everything that needs the demo window's context.
void playShow(Demo& demo, const LauncherResult& launch)
{
    // The music track lives until the process ends; without a stream the show runs silent.
    static MusicTrack music;
    if (sound::version() >= minimumSoundVersion) {
        sound::selectDriver(1);
        if (sound::init(44100, 32, 0)) {
            sound::setBufferSize(2000);
            sound::enableSpectrum(true);
        }
    }
    music.stream = sound::openStream("data\\Veltrin - Say My Tirrel.mp3", sound::STREAM_STEREO | sound::STREAM_ACCURATE_SEEK);
    music.loaded = music.stream != nullptr;

    // The controller list lives until the process ends; the texture manager until the main loop's end.
    Sync_ControllerList* controllers = new Sync_ControllerList;
    demo.music = &music;
    demo.textures = new GL_TextureManager;
    demo.controllers = controllers;
    controllers->loadFile("data\\demosynch.dat");
    demo.editor = nullptr;

    buildShowLayers(demo, launch.width, launch.height);

    Layer_Stagelight::startGate = TAVO_START_GATE != 0;
    demo.loadLayers(demoWindow.window);
    demo.run(demoWindow.window);

    if (music.stream)
        sound::stop(music.stream);
}

}  // namespace

int main(int, char**)
{
    Demo& demo = Demo::instance();

    platform::setWorkingDirectory(".\\resources\\");
    Trace::maxLevel = INFO;
    Trace::outputMode = TRACE_DEBUGGER;
    Trace::write(INFO, "trace", "Trace started");
    Trace::quitLevel = ERROR;
    Trace::write(INFO, "trace", "Enabled quit on trace level: %d", static_cast<int>(Trace::quitLevel));

    const LauncherResult launch = Launcher::show();
    if (launch.cancelled)
        return 0;

    // Without a window and its GL context nothing can be drawn: the show then ends at once, as it
    // does after its main loop (the window reports why on standard error).
    if (demoWindow.create("oru", launch.width, launch.height, pictureAspect, launch.fullscreen, demoWindowProcedure))
        playShow(demo, launch);

    demo.state = DEMO_QUIT;
    demoWindow.destroy();
    if (Trace::outputMode == TRACE_FILE && Trace::file) {
        std::fclose(Trace::file);
        Trace::file = nullptr;
    }
    Trace::write(INFO, "trace", "Trace stopped.");
    return 0;
}
