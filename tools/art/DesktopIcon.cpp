#include "DesktopIcon.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace moxtrel::art {

namespace P = Palette;

namespace {

// The shapes are designed on the 32-unit grid of the window icon.
constexpr double DesignGrid = 32;
// Sizes from here up are drawn at four times their size and averaged down,
// which smooths the slanted edges of the arrow heads.
constexpr int SmoothFrom = 48;
constexpr int Supersampling = 4;

constexpr Colour LitRed{255, 110, 100};
constexpr Colour LitBlue{90, 120, 255};
constexpr Colour Shadow{0, 0, 0, 110};

// Turns design units into pixels of the icon. Small sizes keep whole pixels,
// so edges fall between pixels instead of through them.
// Sizes with outlined arrows leave a margin for the outline and the shadow.
class Grid {
public:
    explicit Grid(int size)
        : m_margin(size >= SmoothFrom ? size / 32.0 : 0),
          m_scale((size - 2 * m_margin) / DesignGrid),
          m_whole(size < SmoothFrom) {}
    double operator()(double units) const {
        double pixels = m_margin + units * m_scale;
        return m_whole ? std::round(pixels) : pixels;
    }
    // A length (not a position) in pixels.
    double Length(double units) const { return units * m_scale; }
    Point operator()(Point p) const { return {(*this)(p.x), (*this)(p.y)}; }
    std::vector<Point> operator()(const std::vector<Point>& shape) const {
        std::vector<Point> pixels;
        for (const Point& p : shape) pixels.push_back((*this)(p));
        return pixels;
    }

private:
    double m_margin;
    double m_scale;
    bool m_whole;
};

// The arrows as outlines on the design grid: the one coming down into the
// package and the one leaving it to the right.
const std::vector<Point> ArrowIn{{10.5, 1}, {15.5, 1}, {15.5, 9}, {20, 9}, {13, 18}, {6, 9}, {10.5, 9}};
const std::vector<Point> ArrowOut{{15, 18.5}, {24, 18.5}, {24, 14}, {31.5, 21}, {24, 28}, {24, 23.5}, {15, 23.5}};
// Their halves that face the light (upper left), for the lit side.
const std::vector<Point> ArrowInLit{{10.5, 1}, {13, 1}, {13, 18}, {6, 9}, {10.5, 9}};
const std::vector<Point> ArrowOutLit{{15, 18.5}, {24, 18.5}, {24, 14}, {31.5, 21}, {15, 21}};

struct Box {
    double left, top, right, bottom;
};
constexpr Box Package{5, 13, 21, 29};

// A line of `width` pixels all round `shape`, half of it outside, with round
// corners.
void Outline(Raster& r, const std::vector<Point>& shape, double width, Colour colour) {
    const double half = width / 2;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const Point a = shape[i];
        const Point b = shape[(i + 1) % shape.size()];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        const double nx = -(b.y - a.y) / length * half, ny = (b.x - a.x) / length * half;
        r.FillPolygon({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}, colour);
        r.FillEllipse(a.x, a.y, half, half, colour);
    }
}

// Texture tiles in the package, `count` by `count`, each a checker of two
// colours, with a black seam between them.
void TextureTiles(Raster& r, Box inside, int count, int checks) {
    static constexpr Colour pairs[][2] = {
        {P::Maroon, P::Olive}, {P::Teal, P::Green},  {P::Grey, P::Silver}, {P::Navy, P::Teal},    {P::Olive, P::Yellow},
        {P::Green, P::Olive},  {P::Purple, P::Grey}, {P::Teal, P::Aqua},   {P::Maroon, P::Purple},
    };
    const double seam = (inside.right - inside.left) / (count * 8.0);
    const double side = (inside.right - inside.left - seam * (count + 1)) / count;
    const double cell = side / checks;
    for (int row = 0; row < count; ++row) {
        for (int col = 0; col < count; ++col) {
            const Colour* pair = pairs[static_cast<std::size_t>(row * count + col) % std::size(pairs)];
            const double left = inside.left + seam + col * (side + seam);
            const double top = inside.top + seam + row * (side + seam);
            for (int y = 0; y < checks; ++y) {
                for (int x = 0; x < checks; ++x) {
                    r.FillRect(left + x * cell, top + y * cell, left + (x + 1) * cell, top + (y + 1) * cell,
                               pair[(x + y) % 2]);
                }
            }
        }
    }
}

// The package: a black square in a grey frame; from 48 pixels it shows
// texture tiles, from 128 pixels its frame is lit from the upper left.
void DrawPackage(Raster& r, const Grid& grid, int size) {
    const Box box{grid(Package.left), grid(Package.top), grid(Package.right), grid(Package.bottom)};
    const double frame = std::max(1.0, std::round(grid.Length(1)));
    r.FillRect(box.left, box.top, box.right, box.bottom, P::Grey);
    if (size >= 128) {
        r.FillRect(box.left, box.top, box.right - frame, box.top + frame, P::Silver);
        r.FillRect(box.left, box.top, box.left + frame, box.bottom - frame, P::Silver);
    }
    const Box inside{box.left + frame, box.top + frame, box.right - frame, box.bottom - frame};
    r.FillRect(inside.left, inside.top, inside.right, inside.bottom, P::Black);
    if (size >= SmoothFrom) TextureTiles(r, inside, size >= 128 ? 3 : 2, size >= 128 ? 4 : 2);
}

void DrawArrows(Raster& r, const Grid& grid, int size) {
    if (size >= SmoothFrom) {
        const double outline = std::max(2.0, size / 32.0);
        Outline(r, grid(ArrowIn), outline, P::Black);
        Outline(r, grid(ArrowOut), outline, P::Black);
    }
    r.FillPolygon(grid(ArrowIn), P::Red);
    r.FillPolygon(grid(ArrowOut), P::Blue);
    if (size >= 128) {
        r.FillPolygon(grid(ArrowInLit), LitRed);
        r.FillPolygon(grid(ArrowOutLit), LitBlue);
    }
}

// `top` laid over `bottom` where it is not fully clear.
void Over(Raster& bottom, const Raster& top) {
    for (int y = 0; y < top.Height(); ++y) {
        for (int x = 0; x < top.Width(); ++x) {
            const Colour t = top.At(x, y);
            if (t.a == 0) continue;
            const Colour b = bottom.At(x, y);
            const double ta = t.a / 255.0, ba = b.a / 255.0 * (1 - ta), a = ta + ba;
            auto mix = [&](std::uint8_t tc, std::uint8_t bc) {
                return static_cast<std::uint8_t>(std::lround((tc * ta + bc * ba) / a));
            };
            bottom.SetPixel(x, y, {mix(t.r, b.r), mix(t.g, b.g), mix(t.b, b.b), static_cast<std::uint8_t>(std::lround(a * 255))});
        }
    }
}

// The alpha of `r` spread by a box of `radius` pixels in both directions.
Raster Blur(const Raster& r, int radius) {
    Raster across(r.Width(), r.Height(), P::Clear), result(r.Width(), r.Height(), P::Clear);
    const int span = 2 * radius + 1;
    auto pass = [&](const Raster& from, Raster& to, bool horizontal) {
        const int lines = horizontal ? from.Height() : from.Width();
        const int length = horizontal ? from.Width() : from.Height();
        for (int line = 0; line < lines; ++line) {
            auto alphaAt = [&](int i) {
                if (i < 0 || i >= length) return 0;
                return static_cast<int>(horizontal ? from.At(i, line).a : from.At(line, i).a);
            };
            int sum = 0;
            for (int i = -radius; i <= radius; ++i) sum += alphaAt(i);
            for (int i = 0; i < length; ++i) {
                Colour c = from.At(horizontal ? i : line, horizontal ? line : i);
                c.a = static_cast<std::uint8_t>(sum / span);
                to.SetPixel(horizontal ? i : line, horizontal ? line : i, c);
                sum += alphaAt(i + radius + 1) - alphaAt(i - radius);
            }
        }
    };
    pass(r, across, true);
    pass(across, result, false);
    return result;
}

// A soft shadow of the whole icon, below it and to the right.
Raster ShadowOf(int width, const Grid& grid, int size) {
    Raster silhouette(width, width, P::Clear, size);
    const double dx = size / 64.0, dy = size / 40.0;
    auto shifted = [&](const std::vector<Point>& shape) {
        std::vector<Point> moved = grid(shape);
        for (Point& p : moved) p = {p.x + dx, p.y + dy};
        return moved;
    };
    silhouette.FillRect(grid(Package.left) + dx, grid(Package.top) + dy, grid(Package.right) + dx,
                        grid(Package.bottom) + dy, Shadow);
    silhouette.FillPolygon(shifted(ArrowIn), Shadow);
    silhouette.FillPolygon(shifted(ArrowOut), Shadow);
    return Blur(silhouette, width / 64);
}

// Each pixel of the result is the average of a `factor` by `factor` block,
// weighted by alpha so clear pixels do not darken the edges.
Raster Reduce(const Raster& r, int factor) {
    Raster small(r.Width() / factor, r.Height() / factor, P::Clear);
    for (int y = 0; y < small.Height(); ++y) {
        for (int x = 0; x < small.Width(); ++x) {
            double red = 0, green = 0, blue = 0, alpha = 0;
            for (int sy = 0; sy < factor; ++sy) {
                for (int sx = 0; sx < factor; ++sx) {
                    const Colour c = r.At(x * factor + sx, y * factor + sy);
                    red += c.r * c.a;
                    green += c.g * c.a;
                    blue += c.b * c.a;
                    alpha += c.a;
                }
            }
            if (alpha == 0) continue;
            auto channel = [&](double sum) { return static_cast<std::uint8_t>(std::lround(sum / alpha)); };
            small.SetPixel(x, y, {channel(red), channel(green), channel(blue),
                                  static_cast<std::uint8_t>(std::lround(alpha / (factor * factor)))});
        }
    }
    return small;
}

}  // namespace

Raster DesktopIcon(int size) {
    const int factor = size >= SmoothFrom ? Supersampling : 1;
    const int width = size * factor;
    const Grid grid(size);
    // Shapes are given in pixels of the icon; the raster has `factor` pixels for each.
    Raster icon(width, width, P::Clear, size);
    DrawPackage(icon, grid, size);
    DrawArrows(icon, grid, size);
    if (size >= 128) {
        Raster shadowed = ShadowOf(width, grid, size);
        Over(shadowed, icon);
        icon = shadowed;
    }
    return factor == 1 ? icon : Reduce(icon, factor);
}

}  // namespace moxtrel::art
