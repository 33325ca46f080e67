// Finding a font face's file through fontconfig.
#include "platform/Platform.h"

#include <fontconfig/fontconfig.h>

namespace tavoFramework {
namespace platform {

FontFace findFontFace(const char* family)
{
    FontFace face;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return face;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    if (pattern) {
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcChar8* file = nullptr;
        FcChar8* matchedFamily = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
            face.file = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(match, FC_INDEX, 0, &face.index);
            face.family = FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch
                              ? reinterpret_cast<const char*>(matchedFamily)
                              : family;
        }
        if (match)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return face;
}

}  // namespace platform
}  // namespace tavoFramework
