// Draws the show's pictures: make_pictures RESOURCES
// writes the loading card, the distortion noise, the two light textures, the prompter's ball and
// the fourteen editor buttons under RESOURCES, at the paths the show opens.
#include <cstdio>
#include <string>

#include "tools/lib/ContentFiles.h"
#include "tools/lib/ShowPictures.h"

using namespace tavoFramework;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures RESOURCES\n");
        return 2;
    }
    const std::vector<ShowPicture> all = pictures::all();
    for (const ShowPicture& picture : all)
        if (!writeContentFile(std::string(argv[1]) + "/" + picture.path, picture.image.encode()))
            return 1;
    std::printf("%s: %zu pictures\n", argv[1], all.size());
    return 0;
}
