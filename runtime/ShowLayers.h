// The show's layer set: which layers exist, under which names, and where they are scheduled.
// Shared by the show's entry point and the tools that draw the show (stills), so both draw the
// same show.
#pragma once

namespace tavoFramework {

class Demo;

// Builds and registers "postprocessor" (capturing width x height pixels), "stagelight",
// "promptalong" and "depthPass" (also kept in the program-wide depthRenderer pointer), then
// schedules postprocessor at 0, stagelight at 64, postprocessor at 65 and promptalong at 66 over
// the whole show. The depth pass is loaded and released with the others but never scheduled.
void buildShowLayers(Demo& demo, int width, int height);

}  // namespace tavoFramework
