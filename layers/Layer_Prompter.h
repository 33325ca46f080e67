// The karaoke prompter: a strip of the lyrics picture showing the line being sung, the start of
// the next line faintly below it, and a point that hops from syllable to syllable in time.
// Syllable times come from a time-code text file, their places on the lines from a dots picture.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/Layer_Base.h"

namespace tavoFramework {

class GL_Texture;
class Sync_Controller;

class Layer_Prompter : public Layer_Base {
public:
    // One syllable: a fixed 268-byte record, one per line of the time-code file.
    struct Entry {
        float time;         // start of the syllable, show seconds
        char text[256];     // "." and the rest of its file line, zero-terminated; debugger output only
        float dotX;         // its dot's x in dots-picture pixels; 0 until a dot is assigned
        std::int32_t line;  // its lyrics line, from 0; 0 until a dot is assigned
    };

    // Always true. Without the time-code file (or with an empty one) or without the dots picture
    // the layer draws nothing; each missing file is named in one WARNING.
    bool load(GL_TextureManager* textures, Sync_ControllerList* controllers) override;
    void update(const Demo_FrameTime& frameTime) override;
    void render() override;
    void unload() override {}

    // Appends one entry per line of the time-code file `name` (lines "h m s f text", frames at 30
    // per second; texts longer than the field are cut; a line that does not begin with four numbers
    // is skipped with a WARNING). False when the file cannot be opened.
    bool readTimeCodes(const char* name);

    // Walks the dots picture (row 0 first, `bytesPerPixel` bytes a pixel, rows without gaps) line
    // by line and gives the entries, in order, the mean x of each lit run and the line it is on.
    void assignDots(const unsigned char* pixels, int width, int height, int bytesPerPixel);

    // Results of the latest update.
    int currentEntry() const { return current; }  // -1 before the first syllable
    int nextEntry() const { return next; }
    float pointX() const { return point; }        // dots-picture pixels
    float pointHop() const { return hop; }        // 0 to 3
    float scrollFade() const { return fade; }     // 0 (current line) to 1 (next line)

    std::vector<Entry> entries;  // in file order; fixed after load

private:
    void drawStrip(float opacity);
    void drawPoint();

    Sync_Controller* fontScale = nullptr;
    Sync_Controller* textPosition = nullptr;
    Sync_Controller* pointSize = nullptr;
    Sync_Controller* pointOffset = nullptr;
    Sync_Controller* transparency = nullptr;  // opacity of text and point, 1 opaque
    GL_Texture* lyrics = nullptr;             // borrowed from the texture manager; none when missing
    GL_Texture* pointPicture = nullptr;       // borrowed; none when missing
    bool dotsLoaded = false;
    float point = 0;
    float hop = 0;
    float fade = 0;
    int current = -1;
    int next = 0;
};

static_assert(sizeof(Layer_Prompter::Entry) == 268, "a syllable entry is a 268-byte record");

}  // namespace tavoFramework
