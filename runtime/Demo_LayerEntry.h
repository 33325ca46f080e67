// One registered layer: the layer object and the name it was registered under.
#pragma once

#include <string>

namespace tavoFramework {

class Layer_Base;

struct Demo_LayerEntry {
    Layer_Base* layer = nullptr;  // owned by the registry: unloaded and deleted after the main loop
    std::string name;             // compared exactly, case-sensitive
};

}  // namespace tavoFramework
