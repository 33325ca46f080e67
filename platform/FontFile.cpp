// Finding a font face's file through fontconfig.
#include "platform/Platform.h"

#include <fontconfig/fontconfig.h>

namespace tavoFramework {
namespace platform {

std::string fontFile(const char* family)
{
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return std::string();
    std::string file;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    if (pattern) {
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcChar8* name = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &name) == FcResultMatch && name)
            file = reinterpret_cast<const char*>(name);
        if (match)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return file;
}

}  // namespace platform
}  // namespace tavoFramework
