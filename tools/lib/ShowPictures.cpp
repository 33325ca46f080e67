// Each picture is a function of pixel position, or shapes on a canvas; nothing random is left
// unseeded, so every run draws the same bytes.
#include "tools/lib/ShowPictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "tools/lib/Canvas.h"
#include "tools/lib/FontFace.h"

namespace tavoFramework {
namespace pictures {

namespace {

const double pi = 3.14159265358979323846;

double smooth(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// 1 inside, falling to 0 over the outer `margin` (0..0.5) of [0, 1]: keeps borders black.
double borderFade(double u, double margin)
{
    return smooth(0.0, margin, u) * smooth(0.0, margin, 1.0 - u);
}

std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed)
{
    std::uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// Gradient noise on a lattice that repeats every `period` cells; (u, v) in cells.
double periodicNoise(double u, double v, int period, std::uint32_t seed)
{
    const int i0 = static_cast<int>(std::floor(u)), j0 = static_cast<int>(std::floor(v));
    const double fu = u - i0, fv = v - j0;
    auto gradient = [&](int i, int j, double du, double dv) {
        const std::uint32_t h = hash(static_cast<std::uint32_t>((i % period + period) % period),
                                     static_cast<std::uint32_t>((j % period + period) % period), seed);
        const double angle = (h & 0xFFFFu) / 65536.0 * 2.0 * pi;
        return std::cos(angle) * du + std::sin(angle) * dv;
    };
    auto fade = [](double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); };
    const double a = gradient(i0, j0, fu, fv), b = gradient(i0 + 1, j0, fu - 1, fv);
    const double c = gradient(i0, j0 + 1, fu, fv - 1), d = gradient(i0 + 1, j0 + 1, fu - 1, fv - 1);
    const double x = fade(fu), y = fade(fv);
    return (a + (b - a) * x) + ((c + (d - c) * x) - (a + (b - a) * x)) * y;
}

// Three octaves of periodic noise over the unit square, tiling at its edges.
double tilingNoise(double u, double v, std::uint32_t seed)
{
    double sum = 0, amplitude = 1, total = 0;
    for (int octave = 0, period = 4; octave < 3; ++octave, period *= 2, amplitude *= 0.5) {
        sum += amplitude * periodicNoise(u * period, v * period, period, seed + static_cast<std::uint32_t>(octave));
        total += amplitude;
    }
    return sum / total;
}

std::uint8_t byte(double value)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

// A grey picture of `size` x `size` from a brightness function of (u, v) in [0, 1], v downwards.
PngImage greyPicture(int size, const std::function<double(double, double)>& brightness)
{
    PngImage image(size, size, 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double value = brightness((x + 0.5) / size, (y + 0.5) / size);
            std::uint8_t* pixel = image.pixel(x, y);
            pixel[0] = pixel[1] = pixel[2] = byte(value);
        }
    return image;
}

// ---- editor buttons -------------------------------------------------------------------------

const int buttonSize = 64;
const double plotLeft = 13, plotRight = 51, plotTop = 14, plotBottom = 50;
const Colour curveColour{0.35f, 0.85f, 1.0f, 1.0f};
const Colour valueColour{1.0f, 0.7f, 0.2f, 1.0f};
const Colour fixedColour{0.95f, 0.95f, 0.95f, 1.0f};
const Colour railColour{0.5f, 0.5f, 0.55f, 0.8f};

void buttonFrame(Canvas& canvas)
{
    canvas.paint(shape::box(2, 2, 62, 62, 9), Colour{0.07f, 0.07f, 0.09f, 0.92f});
    const Canvas::Distance outer = shape::box(2, 2, 62, 62, 9);
    canvas.paint([&](double x, double y) { return std::fabs(outer(x, y) + 1.0) - 1.0; },
                 Colour{0.55f, 0.55f, 0.62f, 1.0f});
}

// The curve shape of an interval from 0 to 1, plotted bottom-left to top-right.
void plotCurve(Canvas& canvas, const std::function<double(double)>& shapeOf)
{
    canvas.paint(shape::segment(plotLeft, plotBottom, plotRight, plotBottom, 1.5), railColour);
    canvas.paint(shape::segment(plotLeft, plotTop, plotLeft, plotBottom, 1.5), railColour);
    const int steps = 32;
    for (int i = 0; i < steps; ++i) {
        const double t0 = static_cast<double>(i) / steps, t1 = static_cast<double>(i + 1) / steps;
        canvas.paint(shape::segment(plotLeft + (plotRight - plotLeft) * t0, plotBottom - (plotBottom - plotTop) * shapeOf(t0),
                                    plotLeft + (plotRight - plotLeft) * t1, plotBottom - (plotBottom - plotTop) * shapeOf(t1),
                                    4.0),
                     curveColour);
    }
}

// An interval from a start to an end point. Each end is "val" (the key's own value: a hollow
// amber ring at mid height), "zero" (a solid dot on the bottom rail) or "one" (on the top rail).
void plotEnds(Canvas& canvas, const std::string& from, const std::string& to)
{
    auto height = [](const std::string& end, double valueHeight) {
        return end == "zero" ? 0.0 : end == "one" ? 1.0 : valueHeight;
    };
    const double y0 = plotBottom - (plotBottom - plotTop) * height(from, to == "one" ? 0.3 : 0.55);
    const double y1 = plotBottom - (plotBottom - plotTop) * height(to, from == "one" ? 0.3 : from == "val" ? 0.75 : 0.55);
    for (double rail : {plotTop, plotBottom})
        for (double x = plotLeft; x < plotRight; x += 6)
            canvas.paint(shape::segment(x, rail, std::min(x + 3, plotRight), rail, 1.5), railColour);
    canvas.paint(shape::segment(plotLeft, y0, plotRight, y1, 3.5), valueColour);
    for (const auto& [end, x, y] : {std::make_tuple(from, plotLeft, y0), std::make_tuple(to, plotRight, y1)}) {
        if (end == "val") {
            canvas.paint(shape::circle(x, y, 6), Colour{0.07f, 0.07f, 0.09f, 1.0f});
            canvas.paint(shape::ring(x, y, 5, 3), valueColour);
        } else {
            canvas.paint(shape::circle(x, y, 5.5), fixedColour);
        }
    }
}

}  // namespace

PngImage loadingCard()
{
    const int width = 1024, height = 576;
    Canvas card(width, height);
    // Night-blue ground with five coloured beams falling from above and a haze on the floor.
    struct Beam {
        double x, angle, spread;
        Colour colour;
    };
    const Beam beams[] = {{150, 0.35, 0.09, {0.9f, 0.2f, 0.8f, 1}}, {340, 0.12, 0.07, {0.2f, 0.6f, 1.0f, 1}},
                          {512, 0.0, 0.1, {1.0f, 0.75f, 0.35f, 1}},  {684, -0.12, 0.07, {0.2f, 0.6f, 1.0f, 1}},
                          {874, -0.35, 0.09, {0.9f, 0.2f, 0.8f, 1}}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double v = static_cast<double>(y) / height;
            double r = 0.02 + 0.05 * v, g = 0.015 + 0.02 * v, b = 0.05 + 0.07 * v;
            for (const Beam& beam : beams) {
                const double dx = x - beam.x, dy = y + 40.0;
                const double off = std::atan2(dx, dy) + beam.angle;
                const double light = std::exp(-off * off / (beam.spread * beam.spread)) * std::exp(-dy / 700.0) * 0.45;
                r += beam.colour.r * light;
                g += beam.colour.g * light;
                b += beam.colour.b * light;
            }
            const double haze = smooth(0.7, 1.0, v) * 0.12;
            // A dither of under one step keeps the dark gradients from banding.
            const double dither = ((hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 7u) & 0xFFu) / 255.0 - 0.5) / 255.0;
            card.set(x, y, Colour{static_cast<float>(r + haze * 0.6 + dither), static_cast<float>(g + haze * 0.3 + dither),
                                  static_cast<float>(b + haze + dither), 1.0f});
        }

    FontFace title, subtitle;
    std::string error;
    Canvas text(width, height);
    if (title.open(FontFace::sansBold, 150, error)) {
        const FontFace::Layout placed = title.layout("oru");
        title.draw(text, "oru", (width - (placed.inkRight - placed.inkLeft)) / 2 - placed.inkLeft, 300, Colour{1, 1, 1, 1});
    }
    if (subtitle.open(FontFace::sans, 30, error)) {
        for (const auto& [line, baseline, alpha] :
             {std::make_tuple(std::string("Veltrin  /  Say My Tirrel"), 372, 0.9f),
              std::make_tuple(std::string("loading"), 520, 0.55f)}) {
            const FontFace::Layout placed = subtitle.layout(line);
            subtitle.draw(text, line, (width - (placed.inkRight - placed.inkLeft)) / 2 - placed.inkLeft, baseline,
                          Colour{1, 1, 1, alpha});
        }
    }
    card.composite(text.halo(8, Colour{0.9f, 0.25f, 0.85f, 0.8f}));
    card.composite(text);
    return card.toPng(3);
}

PngImage distortionNoise()
{
    const int size = 256;
    PngImage image(size, size, 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double u = static_cast<double>(x) / size, v = static_cast<double>(y) / size;
            std::uint8_t* pixel = image.pixel(x, y);
            pixel[0] = byte(0.5 + 0.9 * tilingNoise(u, v, 11u));
            pixel[1] = byte(0.5 + 0.9 * tilingNoise(u, v, 29u));
            pixel[2] = 0;
        }
    return image;
}

PngImage beam()
{
    return greyPicture(256, [](double u, double v) {
        const double halfWidth = 0.02 + 0.13 * v;
        const double across = (u - 0.5) / halfWidth;
        const double cone = std::exp(-2.0 * across * across) * std::pow(1.0 - v, 1.5) * (0.35 + 0.65 * std::exp(-3.0 * v));
        const double source = std::exp(-(((u - 0.5) / 0.03) * ((u - 0.5) / 0.03) + (v / 0.04) * (v / 0.04)));
        return 0.85 * (cone + 0.5 * source) * borderFade(u, 0.08) * smooth(0.0, 0.03, 1.0 - v);
    });
}

PngImage glow()
{
    return greyPicture(256, [](double u, double v) {
        const double dx = u - 0.5, dy = v - 0.1;
        const double distanceSquared = dx * dx + dy * dy;
        const double inner = std::exp(-distanceSquared / (2 * 0.035 * 0.035));
        const double outer = std::exp(-distanceSquared / (2 * 0.12 * 0.12));
        return (0.5 * inner + 0.12 * outer) * borderFade(u, 0.2) * borderFade(v, 0.12);
    });
}

PngImage ball()
{
    const int size = 64;
    Canvas canvas(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double r = std::hypot(x + 0.5 - size / 2.0, y + 0.5 - size / 2.0) / (size / 2.0);
            const double core = 1.0 - smooth(0.25, 0.42, r);
            const double halo = std::exp(-r * r / 0.22) * (1.0 - smooth(0.75, 1.0, r));
            const double alpha = std::clamp(core + 0.8 * halo, 0.0, 1.0);
            const double warm = 1.0 - core;  // white core, golden rim
            canvas.set(x, y, Colour{1.0f, static_cast<float>(1.0 - 0.2 * warm), static_cast<float>(1.0 - 0.65 * warm),
                                    static_cast<float>(alpha)});
        }
    return canvas.toPng(4);
}

const std::vector<std::string>& editorButtonNames()
{
    static const std::vector<std::string> names = {
        "linear",       "smoothstep",  "exponential",  "minexponential", "man-valval", "man-valzero", "man-valone",
        "man-zeroval", "man-oneval", "man-oneone", "man-zerozero", "play",           "pause",      "record"};
    return names;
}

PngImage editorButton(const std::string& name)
{
    Canvas canvas(buttonSize, buttonSize);
    buttonFrame(canvas);
    auto step = [](double u) { return u * u * (3.0 - 2.0 * u); };
    if (name == "linear")
        plotCurve(canvas, [](double t) { return t; });
    else if (name == "smoothstep")
        plotCurve(canvas, step);
    else if (name == "exponential")
        plotCurve(canvas, [&](double t) { return step(t * t); });
    else if (name == "minexponential")
        plotCurve(canvas, [&](double t) { return step(1.0 - (1.0 - t) * (1.0 - t)); });
    else if (name.rfind("man-", 0) == 0 && name.size() > 4) {
        const std::string ends = name.substr(4);
        for (const std::string first : {"val", "zero", "one"})
            if (ends.rfind(first, 0) == 0)
                plotEnds(canvas, first, ends.substr(first.size()));
    } else if (name == "play") {
        canvas.paint(shape::triangle(22, 16, 22, 48, 48, 32), Colour{0.35f, 0.9f, 0.45f, 1});
    } else if (name == "pause") {
        canvas.paint(shape::box(20, 17, 28, 47, 2), fixedColour);
        canvas.paint(shape::box(36, 17, 44, 47, 2), fixedColour);
    } else if (name == "record") {
        canvas.paint(shape::circle(32, 32, 14), Colour{0.95f, 0.18f, 0.18f, 1});
        canvas.paint(shape::circle(27, 27, 4), Colour{1, 0.6f, 0.6f, 0.5f});
    }
    return canvas.toPng(4);
}

std::vector<ShowPicture> all()
{
    std::vector<ShowPicture> result = {{"data/textures/loading.png", loadingCard()},
                                       {"data/textures/distortion.png", distortionNoise()},
                                       {"flare1.png", beam()},
                                       {"flare2.png", glow()},
                                       {"karaoke/derspringendepunkt.png", ball()}};
    for (const std::string& name : editorButtonNames())
        result.push_back({"editor/button-" + name + ".png", editorButton(name)});
    return result;
}

}  // namespace pictures
}  // namespace tavoFramework
