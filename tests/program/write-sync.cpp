// Writes a sync file for the whole-program tests through the show's own controller list.
// Usage: write-sync <file> < keys, where each input line is "<time> <value> <controller name>"
// (seconds, value, the rest of the line the name). Keys keep the default linear interpolation.
// Exit status 0 when every line was read and the file was written.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "sync/Sync_ControllerList.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <sync file> < \"time value name\" lines\n", argv[0]);
        return 2;
    }
    tavoFramework::Sync_ControllerList controllers;
    std::string line;
    int number = 0;
    while (std::getline(std::cin, line)) {
        ++number;
        if (line.empty())
            continue;
        std::istringstream fields(line);
        float time = 0, value = 0;
        std::string name;
        if (!(fields >> time >> value) || !std::getline(fields >> std::ws, name) || name.empty()) {
            std::fprintf(stderr, "write-sync: line %d is not \"time value name\": %s\n", number, line.c_str());
            return 1;
        }
        controllers.findOrCreate(name.c_str())->addKey(time, value);
    }
    return controllers.saveFile(argv[1]) ? 0 : 1;
}
