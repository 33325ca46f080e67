// The karaoke prompter: time codes and dots are read once at load; update derives the point's
// place, hop and the strip's scroll from show time alone, so jumps in time need no history.
#include "layers/Layer_Prompter.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "gl/GL_Texture.h"
#include "gl/GL_TextureManager.h"
#include "platform/OpenGL.h"
#include "runtime/Trace.h"
#include "sync/Sync_ControllerList.h"

namespace tavoFramework {

namespace {

const char* const module = "promptalong";
const char* const timeCodeFile = "karaoke//mytirrel_timecode.txt";
const char* const dotsFile = "karaoke//dots.png";
const char* const lyricsFile = "karaoke//lyrics.png";
const char* const pointFile = "karaoke//derspringendepunkt.png";

// Geometry of the lyrics and dots pictures: 1024 x 4096 pixels, line n starts at row 39.77 n and
// carries its dots on the row the walk from row 20 reaches.
constexpr float lineHeight = 39.77f;
constexpr float firstDotRow = 20.0f;
constexpr float pictureWidth = 1024.0f;
constexpr float pictureHeight = 4096.0f;

// The point enters a line from here and leaves it towards the right edge (dots-picture pixels).
constexpr float pointEntryX = -10.0f;
constexpr float pointExitX = 1260.0f;

// The strip scrolls to the next line during the last part of a line change (seconds).
constexpr float scrollTime = 0.7f;

}  // namespace

bool Layer_Prompter::load(GL_TextureManager* textures, Sync_ControllerList* controllers)
{
    if (!readTimeCodes(timeCodeFile))
        Trace::write(WARNING, module, "unable to load file: %s", timeCodeFile);
    else if (entries.empty())
        Trace::write(WARNING, module, "no time codes in file: %s", timeCodeFile);

    unsigned char* pixels = nullptr;
    int width = 0, height = 0, bytesPerPixel = 0;
    if (loadImageFile(dotsFile, pixels, width, height, bytesPerPixel)) {
        const std::unique_ptr<unsigned char[]> owned(pixels);
        dotsLoaded = width > 0 && height > 0 && bytesPerPixel > 0;
        if (dotsLoaded)
            assignDots(owned.get(), width, height, bytesPerPixel);
    }
    if (!dotsLoaded)
        Trace::write(WARNING, module, "unable to load file: %s", dotsFile);

    lyrics = textures->getTexture(lyricsFile, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
    if (!lyrics)
        Trace::write(WARNING, module, "unable to load file: %s", lyricsFile);
    pointPicture = textures->getTexture(pointFile, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
    if (!pointPicture)
        Trace::write(WARNING, module, "unable to load file: %s", pointFile);

    pointSize = controllers->findOrCreate("Karaoke: Point Size");
    pointOffset = controllers->findOrCreate("Karaoke: Point Offset (Y)");
    fontScale = controllers->findOrCreate("Karaoke: Font Scale");
    textPosition = controllers->findOrCreate("Karaoke: Text Position (Y)");
    transparency = controllers->findOrCreate("Karaoke: Text Transparency");
    return true;
}

bool Layer_Prompter::readTimeCodes(const char* name)
{
    std::FILE* file = platform::openFile(name, "r");
    if (!file)
        return false;
    for (;;) {
        int hours = 0, minutes = 0, seconds = 0, frames = 0;
        const int numbers = std::fscanf(file, "%d %d %d %d", &hours, &minutes, &seconds, &frames);
        if (numbers == EOF)
            break;

        // The rest of the line, behind a full stop; what does not fit the field is skipped.
        Entry entry = {};
        std::size_t length = 0;
        entry.text[length++] = '.';
        for (int c = std::fgetc(file); c != EOF && c != '\n'; c = std::fgetc(file)) {
            if (c != '\r' && length < sizeof entry.text - 1)
                entry.text[length++] = static_cast<char>(c);
        }
        if (numbers != 4) {
            Trace::write(WARNING, module, "skipped a line of %s without four numbers: %s", name, entry.text);
            continue;
        }
        entry.time = static_cast<float>(hours) * 3600.0f + static_cast<float>(minutes) * 60.0f +
                     static_cast<float>(seconds) + static_cast<float>(frames) / 30.0f;
        entries.push_back(entry);
    }
    std::fclose(file);
    return true;
}

void Layer_Prompter::assignDots(const unsigned char* pixels, int width, int height, int bytesPerPixel)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel);
    std::vector<int> lit;  // x of the pixels of the run being walked
    lit.reserve(static_cast<std::size_t>(width));
    std::size_t entry = 0;
    int line = 0;
    for (float y = firstDotRow; static_cast<float>(height) > y; y += lineHeight, ++line) {
        const unsigned char* row = pixels + static_cast<std::size_t>(y) * rowBytes;
        int dots = 0;
        lit.clear();
        for (int x = 0; x < width; ++x) {
            if (row[static_cast<std::size_t>(x) * static_cast<std::size_t>(bytesPerPixel)] != 0) {
                lit.push_back(x);
                continue;
            }
            if (lit.empty())
                continue;
            float sum = 0;
            for (int litX : lit)
                sum += static_cast<float>(litX);
            const float dotX = sum / static_cast<float>(lit.size());
            ++dots;
            if (entry < entries.size()) {
                entries[entry].dotX = dotX;
                entries[entry].line = line;
                platform::debugPrintf("%.2f\n", dotX);
            }
            ++entry;
            lit.clear();
        }
        // A run still lit at the right edge is no dot.
        platform::debugPrintf("line: %d, dots per line: %d\n", line, dots);
    }
}

void Layer_Prompter::update(const Demo_FrameTime& frameTime)
{
    const float t = frameTime.time;
    const int previous = current;
    fade = 0;
    current = -1;
    if (entries.empty()) {
        next = 0;
        point = pointEntryX;
        hop = 0;
        return;
    }

    const int last = static_cast<int>(entries.size()) - 1;
    if (entries[static_cast<std::size_t>(last)].time <= t) {
        current = last;
    } else {
        for (int i = 0; i < last; ++i) {
            if (entries[static_cast<std::size_t>(i)].time <= t && t < entries[static_cast<std::size_t>(i) + 1].time) {
                current = i;
                if (current != previous)
                    platform::debugPrintf("%d, %s\n", i, entries[static_cast<std::size_t>(i)].text);
                break;
            }
        }
    }
    next = current + 1 > last ? last : current + 1;

    const Entry& to = entries[static_cast<std::size_t>(next)];
    if (current == next) {
        // The last syllable has begun: the point rests on its dot.
        point = to.dotX;
        hop = 0;
        return;
    }

    // Interval from the current syllable (or the show's start) to the next one. It is never empty
    // once a syllable is current; before a first syllable at or before 0 s it is, and the point
    // then waits at its entry.
    const float untilNext = to.time - t;
    float fromX, toX, span;
    bool lineChange = false;
    if (current == -1) {
        fromX = pointEntryX;
        toX = to.dotX;
        span = to.time;
    } else {
        const Entry& from = entries[static_cast<std::size_t>(current)];
        span = to.time - from.time;
        lineChange = to.line != from.line;
        if (!lineChange) {
            fromX = from.dotX;
            toX = to.dotX;
        } else if (untilNext / span < 0.25f) {
            fromX = pointEntryX;  // the last quarter: in from the left towards the new line's dot
            toX = to.dotX;
        } else {
            fromX = from.dotX;  // the first three quarters: out to the right
            toX = pointExitX;
        }
    }
    const float u = span > 0 ? 1.0f - untilNext / span : 0.0f;
    const float u3 = u * u * u;
    point = u3 * toX + (1.0f - u3) * fromX;
    hop = 3.0f * std::sin(3.141f * (1.0f - u * u));

    if (lineChange) {
        if (span < scrollTime) {
            fade = u * u;
        } else if (untilNext < scrollTime) {
            const float w = 1.0f - untilNext / scrollTime;
            fade = w * w;
        }
    }
}

void Layer_Prompter::render()
{
    if (entries.empty() || !dotsLoaded)
        return;
    const float opacity = transparency->value;
    const float scale = 1.0f + 5.0f * fontScale->value;
    const float shownLine = current == -1 ? 0.0f : static_cast<float>(entries[static_cast<std::size_t>(current)].line) + fade;
    const float scroll = shownLine * lineHeight / pictureHeight;  // texture rows of the lines above

    // A 1280 x 720 screen with y pointing down; the 1024-unit strip centred, its top at the text
    // position (0 the bottom edge, 1 the top edge), scaled by the font scale.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, 1280, 720, 0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (lyrics)
        lyrics->bind(GL_TEXTURE0);
    glTranslatef(640.0f - 512.0f * scale, (1.0f - textPosition->value) * 720.0f, 0.0f);
    glScalef(scale, scale, 0.0f);
    glColor3f(1, 1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    if (lyrics) {
        glMatrixMode(GL_TEXTURE);
        glTranslatef(0.0f, scroll, 0.0f);
        glMatrixMode(GL_MODELVIEW);
        drawStrip(opacity);
        lyrics->unbind();
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    }

    glColor4f(1, 1, 1, opacity);
    if (pointPicture) {
        pointPicture->bind(GL_TEXTURE0);
        glTranslatef(point, 5.0f - 45.0f * pointOffset->value - 10.0f * hop, 0.0f);
        drawPoint();
        pointPicture->unbind();
    }

    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

// Four bands of the strip, in strip units (the picture's pixels): a fade-in above the line, the
// line itself, a darkening edge, and the start of the next line at 0.3 of the opacity.
void Layer_Prompter::drawStrip(float opacity)
{
    struct Band {
        float top, bottom;
        float topColour[4], bottomColour[4];
    };
    const Band bands[] = {
        {-3, 7, {1, 1, 1, 0}, {1, 1, 1, opacity}},
        {7, 40, {1, 1, 1, opacity}, {1, 1, 1, opacity}},
        {40, 45, {1, 1, 1, opacity}, {0.4f, 0.4f, 0.4f, 0.3f * opacity}},
        {45, 70, {1, 1, 1, 0.3f * opacity}, {1, 1, 1, 0}},
    };
    glBegin(GL_QUADS);
    for (const Band& band : bands) {
        glColor4fv(band.topColour);
        glTexCoord2f(0, band.top / pictureHeight);
        glVertex2f(0, band.top);
        glTexCoord2f(1, band.top / pictureHeight);
        glVertex2f(pictureWidth, band.top);
        glColor4fv(band.bottomColour);
        glTexCoord2f(1, band.bottom / pictureHeight);
        glVertex2f(pictureWidth, band.bottom);
        glTexCoord2f(0, band.bottom / pictureHeight);
        glVertex2f(0, band.bottom);
    }
    glEnd();
}

void Layer_Prompter::drawPoint()
{
    const float h = 5.0f * (5.0f * pointSize->value + 0.5f);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-h, h);
    glTexCoord2f(1, 0);
    glVertex2f(h, h);
    glTexCoord2f(1, 1);
    glVertex2f(h, -h);
    glTexCoord2f(0, 1);
    glVertex2f(-h, -h);
    glEnd();
}

}  // namespace tavoFramework
