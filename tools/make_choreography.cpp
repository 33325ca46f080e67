// Writes the show's sync file from the choreography:
//   make_choreography SCORE CHOREOGRAPHY RESOURCES [--at SECONDS...]
// writes RESOURCES/data/demosynch.dat through the controller list's own saveFile. With --at it
// also prints every controller's value at each of the given show times.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sync/Sync_ControllerList.h"
#include "tools/lib/Choreography.h"

using namespace tavoFramework;

int main(int argc, char** argv)
{
    if (argc < 4 || (argc > 4 && std::strcmp(argv[4], "--at") != 0)) {
        std::fprintf(stderr, "usage: make_choreography SCORE CHOREOGRAPHY RESOURCES [--at SECONDS...]\n");
        return 2;
    }
    Score score;
    Choreography choreography;
    std::string error;
    if (!Score::load(argv[1], score, error) || !Choreography::load(argv[2], score, choreography, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Sync_ControllerList controllers;
    choreography.apply(controllers);
    const std::string path = std::string(argv[3]) + "/data/demosynch.dat";
    if (!controllers.saveFile(path.c_str())) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    int keys = 0;
    for (int i = 0; i < controllers.count(); ++i)
        keys += controllers.at(i)->keyCount();
    std::printf("%s: %d controllers, %d keys\n", path.c_str(), controllers.count(), keys);

    for (int arg = 5; arg < argc; ++arg) {
        const float seconds = static_cast<float>(std::atof(argv[arg]));
        controllers.evaluateAll(seconds);
        std::printf("\nat %.3f s:\n", static_cast<double>(seconds));
        for (int i = 0; i < controllers.count(); ++i)
            std::printf("  %-42s %8.4f\n", controllers.nameAt(i).c_str(), static_cast<double>(controllers.at(i)->value));
    }
    return 0;
}
