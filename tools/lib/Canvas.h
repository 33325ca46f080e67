// A float RGBA drawing surface for the show's pictures: shapes given by signed distance,
// antialiased, composited source-over, then rounded into an 8-bit PNG picture.
#pragma once

#include <functional>
#include <vector>

#include "tools/lib/PngImage.h"

namespace tavoFramework {

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};

class Canvas {
public:
    // Pixel coordinates: x to the right, y downwards, pixel (x, y) covers [x, x+1) x [y, y+1).
    using Distance = std::function<double(double x, double y)>;

    Canvas(int width, int height);  // transparent black

    int width() const { return canvasWidth; }
    int height() const { return canvasHeight; }

    // The straight (not premultiplied) colour of a pixel.
    Colour get(int x, int y) const;
    void set(int x, int y, const Colour& colour);
    // Composites `colour` over pixel (x, y) with `coverage` (0..1) scaling its alpha.
    void blend(int x, int y, const Colour& colour, float coverage);
    // Composites `colour` wherever `distance` (pixels, negative inside) says, with a one-pixel
    // antialiased edge, over the pixels of the box [x0, x1) x [y0, y1) (clipped to the canvas).
    void paint(const Distance& distance, const Colour& colour, int x0, int y0, int x1, int y1);
    void paint(const Distance& distance, const Colour& colour) { paint(distance, colour, 0, 0, canvasWidth, canvasHeight); }
    // Composites `over` onto this canvas, pixel for pixel (same size).
    void composite(const Canvas& over);
    // Alpha spread: a copy whose alpha is this canvas's alpha box-blurred `radius` pixels twice,
    // coloured `colour` (its alpha scales the result). Used for glows and shadows.
    Canvas halo(int radius, const Colour& colour) const;

    // 8-bit picture: 3 channels (alpha dropped) or 4.
    PngImage toPng(int channels) const;

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(canvasWidth) + static_cast<std::size_t>(x);
    }

    int canvasWidth;
    int canvasHeight;
    std::vector<Colour> pixels;  // premultiplied by alpha
};

// Signed distances (pixels, negative inside) of the shapes the pictures are made of.
namespace shape {
Canvas::Distance circle(double cx, double cy, double radius);
// A line from (x0, y0) to (x1, y1) with round ends, `width` pixels thick.
Canvas::Distance segment(double x0, double y0, double x1, double y1, double width);
// A box from (x0, y0) to (x1, y1) with corners rounded by `radius`.
Canvas::Distance box(double x0, double y0, double x1, double y1, double radius);
// A filled triangle through three points (either winding).
Canvas::Distance triangle(double ax, double ay, double bx, double by, double cx, double cy);
// A ring: the outline of a circle, `width` pixels thick.
Canvas::Distance ring(double cx, double cy, double radius, double width);
}  // namespace shape

}  // namespace tavoFramework
