// The show's layer set and its schedule.
#include "runtime/ShowLayers.h"

#include "layers/Layer_DepthRenderer.h"
#include "layers/Layer_PP.h"
#include "layers/Layer_Prompter.h"
#include "layers/Layer_Stagelight.h"
#include "runtime/Demo.h"

namespace tavoFramework {

void buildShowLayers(Demo& demo, int width, int height)
{
    demo.addLayer("postprocessor", new Layer_PP(width, height, 0));
    demo.addLayer("stagelight", new Layer_Stagelight);
    demo.addLayer("promptalong", new Layer_Prompter);
    depthRenderer = new Layer_DepthRenderer;
    demo.addLayer("depthPass", depthRenderer);

    demo.schedule("postprocessor", 0);
    demo.schedule("stagelight", 64);
    demo.schedule("postprocessor", 65);
    demo.schedule("promptalong", 66);
}

}  // namespace tavoFramework
