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

    // A copy of the name of controller `index`; index below count().
    std::string nameAt(int index) const;
    int count() const { return static_cast<int>(controllers.size()); }
    // Controller `index`, owned by the list; index below count().
    Sync_Controller* at(int index) const { return controllers[static_cast<std::size_t>(index)].get(); }

    // Reads a sync file (a name in the system's style, e.g. "data\demosynch.dat"). Every stored
    // controller is found or created by name and its keys and segments replaced in place; controllers
    // the file does not name keep theirs. All or nothing: a missing file returns false silently; a
    // damaged one (cut short, a name length of 0 or above 512, a name without NUL, a key count beyond
    // the file, a key time that is not finite) changes nothing, writes one WARNING naming the file and
    // the fault, and returns false. An empty file loads nothing and returns true.
    bool loadFile(const char* path);

    // Writes every controller, in list order, replacing the file at once (through a temporary file
    // in the same folder), so a failed save leaves the old file whole. False, with a WARNING, when the
    // file cannot be written or a name is longer than 511 bytes (the reader could not take it back).
    bool saveFile(const char* path) const;

private:
    std::vector<std::unique_ptr<Sync_Controller>> controllers;
};

}  // namespace tavoFramework
