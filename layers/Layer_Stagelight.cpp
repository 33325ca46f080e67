// The stage lights: each light is a narrow beam quad, rotated by its swing, and a wide glow quad,
// both added onto a black picture. The light phase is integrated over frames, never derived from
// show time, so jumps in time do not change the lights.
#include "layers/Layer_Stagelight.h"

#include <cmath>

#include "gl/GL_Texture.h"
#include "gl/GL_TextureManager.h"
#include "platform/OpenGL.h"
#include "runtime/Trace.h"
#include "sync/Sync_ControllerList.h"

namespace tavoFramework {

bool Layer_Stagelight::startGate = false;

namespace {

const char* const module = "stagelight";
const char* const beamFile = "flare1.png";
const char* const glowFile = "flare2.png";

// Radians per second of "change stagelight" summed over every frame of the program's run; never
// reset, not even by a new load.
float lightPhase = 0;

struct Light {
    float x, y, z;     // position below the common offset (0, 0.5, 0)
    bool corner;       // corner lights: fixed tilt, magenta from the music level, 1.2 times larger
    float cornerTilt;  // degrees about z, corner lights only
};

const Light lights[] = {
    {-1.5f, 0.5f, 0.0f, false, 0},
    {-0.5f, 0.8f, -0.5f, false, 0},
    {0.0f, 0.5f, -1.0f, false, 0},
    {0.5f, 0.8f, -0.5f, false, 0},
    {1.5f, 0.5f, 0.0f, false, 0},
    {-3.0f, 0.95f, 0.0f, true, 45.0f},
    {3.0f, 0.95f, 0.0f, true, -45.0f},
};

constexpr float beamHalfWidth = 1.2f;
constexpr float glowHalfWidth = 2.2f;

// Binds `texture` to unit 0; without one, unit 0 draws untextured.
void useTexture(GL_Texture* texture)
{
    if (texture) {
        texture->bind(GL_TEXTURE0);
        return;
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
}

// A light's quad hangs from its pivot: 2.5 units down, 4 units behind it.
void drawLightQuad(float halfWidth)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-halfWidth, 0.0f, -4.0f);
    glTexCoord2f(1, 0);
    glVertex3f(halfWidth, 0.0f, -4.0f);
    glTexCoord2f(1, 1);
    glVertex3f(halfWidth, -2.5f, -4.0f);
    glTexCoord2f(0, 1);
    glVertex3f(-halfWidth, -2.5f, -4.0f);
    glEnd();
}

// The pivot offset and size every quad of a light shares.
void placeQuad(const Light& light)
{
    glTranslatef(0.1f, 0.45f, 0.0f);
    glScalef(1.5f, 1.5f, 1.0f);
    if (light.corner)
        glScalef(1.2f, 1.2f, 1.0f);
}

}  // namespace

bool Layer_Stagelight::load(GL_TextureManager* textures, Sync_ControllerList* controllers)
{
    beam = textures->getTexture(beamFile, GL_REPEAT, GL_REPEAT);
    if (!beam)
        Trace::write(WARNING, module, "unable to load file: %s", beamFile);
    glow = textures->getTexture(glowFile, GL_REPEAT, GL_REPEAT);
    if (!glow)
        Trace::write(WARNING, module, "unable to load file: %s", glowFile);

    intensity = controllers->findOrCreate("stagelight");
    swing = controllers->findOrCreate("rotate stagelight");
    phaseRate = controllers->findOrCreate("change stagelight");

    // Start gate: nothing else runs meanwhile; the loading picture stays on screen.
    if (startGate) {
        while (platform::asyncKeyState(VK_CONTROL) == 0)
            platform::sleepMs(100);
    }
    return true;
}

void Layer_Stagelight::update(const Demo_FrameTime& frameTime)
{
    frameDelta = frameTime.delta;
    float sum = 0;
    if (frameTime.spectrum) {
        for (int band = 0; band < 32; ++band)
            sum += frameTime.spectrum[band];
    }
    // The step is capped at the whole distance: at frames longer than 0.1 s an uncapped step
    // would overshoot the target and, above 0.2 s, swing further out every frame.
    float step = frameDelta * 10.0f;
    if (step > 1.0f)
        step = 1.0f;
    musicLevel = musicLevel + (sum / 10.0f - musicLevel) * step;
}

void Layer_Stagelight::render()
{
    const float s = intensity->value;
    const float w = swing->value;
    const float level = musicLevel;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.77, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDepthMask(GL_FALSE);
    glColor3f(1, 1, 1);
    glTranslatef(0.0f, 0.5f, 0.0f);
    useTexture(beam);

    lightPhase += phaseRate->value * frameDelta;
    const float p = lightPhase;

    for (int i = 0; i < 7; ++i) {
        const Light& light = lights[i];
        const float k = static_cast<float>(i);
        float red, green, blue, angle;
        if (light.corner) {
            red = 2.0f * level;
            green = level;
            blue = 2.0f * level;
            angle = light.cornerTilt;
        } else {
            const float r = std::sin(k + p + 0.25f * level);
            const float g = std::sin(std::cos(0.5f * p - k / 3.0f) + k + p);
            red = s * r * r;
            green = s * g * g * g;
            blue = s * std::cos(std::sin(0.5f * p - k / 3.0f) + k + p);
            angle = 25.0f * w * std::sin(k + 0.4f * p);
        }

        glPushMatrix();
        glColor3f(red, green, blue);
        useTexture(beam);
        glTranslatef(light.x, light.y, light.z);

        glPushMatrix();
        glRotatef(angle, 0.0f, 0.0f, 1.0f);
        placeQuad(light);
        drawLightQuad(beamHalfWidth);
        useTexture(glow);
        glPopMatrix();

        // The glow keeps the light's place but not its swing.
        glColor3f(red * red, green * green, blue * blue);
        placeQuad(light);
        drawLightQuad(glowHalfWidth);
        glPopMatrix();
    }

    glDisable(GL_BLEND);
    if (beam) {
        beam->unbind();
    } else {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

}  // namespace tavoFramework
