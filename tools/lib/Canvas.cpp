// Canvas compositing and the distance functions of its shapes.
#include "tools/lib/Canvas.h"

#include <algorithm>
#include <cmath>

namespace tavoFramework {

Canvas::Canvas(int width, int height)
    : canvasWidth(width), canvasHeight(height),
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), Colour{0, 0, 0, 0})
{
}

Colour Canvas::get(int x, int y) const
{
    const Colour& p = pixels[index(x, y)];
    if (p.a <= 0)
        return Colour{0, 0, 0, 0};
    return Colour{p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Canvas::set(int x, int y, const Colour& colour)
{
    pixels[index(x, y)] = Colour{colour.r * colour.a, colour.g * colour.a, colour.b * colour.a, colour.a};
}

void Canvas::blend(int x, int y, const Colour& colour, float coverage)
{
    if (x < 0 || y < 0 || x >= canvasWidth || y >= canvasHeight || coverage <= 0)
        return;
    const float a = colour.a * std::min(coverage, 1.0f);
    Colour& p = pixels[index(x, y)];
    p.r = colour.r * a + p.r * (1 - a);
    p.g = colour.g * a + p.g * (1 - a);
    p.b = colour.b * a + p.b * (1 - a);
    p.a = a + p.a * (1 - a);
}

void Canvas::paint(const Distance& distance, const Colour& colour, int x0, int y0, int x1, int y1)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, canvasWidth);
    y1 = std::min(y1, canvasHeight);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const double d = distance(x + 0.5, y + 0.5);
            blend(x, y, colour, static_cast<float>(std::clamp(0.5 - d, 0.0, 1.0)));
        }
}

void Canvas::composite(const Canvas& over)
{
    for (std::size_t i = 0; i < pixels.size() && i < over.pixels.size(); ++i) {
        const Colour& s = over.pixels[i];
        Colour& p = pixels[i];
        p.r = s.r + p.r * (1 - s.a);
        p.g = s.g + p.g * (1 - s.a);
        p.b = s.b + p.b * (1 - s.a);
        p.a = s.a + p.a * (1 - s.a);
    }
}

Canvas Canvas::halo(int radius, const Colour& colour) const
{
    std::vector<float> alpha(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i)
        alpha[i] = pixels[i].a;
    std::vector<float> pass(alpha.size());
    const float width = static_cast<float>(2 * radius + 1);
    for (int round = 0; round < 2; ++round) {
        for (int y = 0; y < canvasHeight; ++y)
            for (int x = 0; x < canvasWidth; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    if (x + k >= 0 && x + k < canvasWidth)
                        sum += alpha[index(x + k, y)];
                pass[index(x, y)] = sum / width;
            }
        for (int y = 0; y < canvasHeight; ++y)
            for (int x = 0; x < canvasWidth; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    if (y + k >= 0 && y + k < canvasHeight)
                        sum += pass[index(x, y + k)];
                alpha[index(x, y)] = sum / width;
            }
    }
    Canvas result(canvasWidth, canvasHeight);
    for (std::size_t i = 0; i < alpha.size(); ++i) {
        const float a = std::min(1.0f, alpha[i]) * colour.a;
        result.pixels[i] = Colour{colour.r * a, colour.g * a, colour.b * a, a};
    }
    return result;
}

PngImage Canvas::toPng(int channels) const
{
    PngImage image(canvasWidth, canvasHeight, channels);
    auto byte = [](float value) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
    };
    for (int y = 0; y < canvasHeight; ++y)
        for (int x = 0; x < canvasWidth; ++x) {
            // Without alpha the picture is the canvas over black, i.e. the premultiplied colour.
            const Colour c = channels == 4 ? get(x, y) : pixels[index(x, y)];
            std::uint8_t* out = image.pixel(x, y);
            out[0] = byte(c.r);
            out[1] = byte(c.g);
            out[2] = byte(c.b);
            if (channels == 4)
                out[3] = byte(c.a);
        }
    return image;
}

namespace shape {

Canvas::Distance circle(double cx, double cy, double radius)
{
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) - radius; };
}

Canvas::Distance segment(double x0, double y0, double x1, double y1, double width)
{
    return [=](double x, double y) {
        const double dx = x1 - x0, dy = y1 - y0;
        const double lengthSquared = dx * dx + dy * dy;
        const double t = lengthSquared > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / lengthSquared, 0.0, 1.0) : 0.0;
        return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - width / 2;
    };
}

Canvas::Distance box(double x0, double y0, double x1, double y1, double radius)
{
    return [=](double x, double y) {
        const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        const double qx = std::fabs(x - cx) - ((x1 - x0) / 2 - radius);
        const double qy = std::fabs(y - cy) - ((y1 - y0) / 2 - radius);
        return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

Canvas::Distance triangle(double ax, double ay, double bx, double by, double cx, double cy)
{
    return [=](double x, double y) {
        const double px[3] = {ax, bx, cx}, py[3] = {ay, by, cy};
        const double area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
        double inside = -1e9;
        double outside = 1e9;
        for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3;
            const double ex = px[j] - px[i], ey = py[j] - py[i];
            const double length = std::hypot(ex, ey);
            // Distance to the edge's line, positive outside.
            const double side = ((x - px[i]) * ey - (y - py[i]) * ex) / length * (area > 0 ? 1 : -1);
            inside = std::max(inside, side);
            const double t = std::clamp(((x - px[i]) * ex + (y - py[i]) * ey) / (length * length), 0.0, 1.0);
            outside = std::min(outside, std::hypot(x - (px[i] + t * ex), y - (py[i] + t * ey)));
        }
        return inside > 0 ? outside : inside;
    };
}

Canvas::Distance ring(double cx, double cy, double radius, double width)
{
    return [=](double x, double y) { return std::fabs(std::hypot(x - cx, y - cy) - radius) - width / 2; };
}

}  // namespace shape

}  // namespace tavoFramework
