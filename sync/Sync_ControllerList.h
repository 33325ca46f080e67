// All controllers of the show, in creation order. Owns them; pointers handed out stay valid for
// the whole run because controllers are never removed or reordered.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sync/Sync_Controller.h"

namespace tavoFramework {

class Sync_ControllerList {
public:
    // The first controller named exactly `name`, or a new one appended at the end. Never null.
    Sync_Controller* findOrCreate(const char* name);

    // Evaluates every controller at show time `time` (seconds), in list order.
    void evaluateAll(float time);

    std::string nameAt(int index) const;
    int count() const { return static_cast<int>(controllers.size()); }
    Sync_Controller* at(int index) const { return controllers[static_cast<std::size_t>(index)].get(); }

    // Sync file: see the .cpp for the byte format. loadFile is all or nothing and returns false for
    // a missing or damaged file (a damaged one also writes a WARNING). saveFile replaces the file
    // atomically and returns false (with a WARNING) when it cannot be written.
    bool loadFile(const char* path);
    bool saveFile(const char* path) const;

private:
    std::vector<std::unique_ptr<Sync_Controller>> controllers;
};

}  // namespace tavoFramework
