#pragma once
// A tiny raster to draw the program's pictures in: flat colours, no
// smoothing, shapes given in a design grid that is scaled to the picture, so
// one drawing serves a 32 x 32 and a 16 x 16 icon alike.

#include <cstdint>
#include <vector>

namespace moxtrel::art {

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Colour&) const = default;
};

// The sixteen colours of the classic display palette the pictures keep to,
// plus "clear" for the transparent parts of icons.
namespace Palette {
inline constexpr Colour Black{0, 0, 0};
inline constexpr Colour Maroon{128, 0, 0};
inline constexpr Colour Green{0, 128, 0};
inline constexpr Colour Olive{128, 128, 0};
inline constexpr Colour Navy{0, 0, 128};
inline constexpr Colour Purple{128, 0, 128};
inline constexpr Colour Teal{0, 128, 128};
inline constexpr Colour Silver{192, 192, 192};
inline constexpr Colour Grey{128, 128, 128};
inline constexpr Colour Red{255, 0, 0};
inline constexpr Colour Lime{0, 255, 0};
inline constexpr Colour Yellow{255, 255, 0};
inline constexpr Colour Blue{0, 0, 255};
inline constexpr Colour Magenta{255, 0, 255};
inline constexpr Colour Aqua{0, 255, 255};
inline constexpr Colour White{255, 255, 255};
inline constexpr Colour Clear{0, 0, 0, 0};
inline constexpr Colour All[] = {Black, Maroon, Green, Olive, Navy,    Purple, Teal,  Silver,
                                 Grey,  Red,    Lime,  Yellow, Blue, Magenta, Aqua, White};
}  // namespace Palette

struct Point {
    double x = 0, y = 0;
};

class Raster {
public:
    // `gridUnits` is the size of the design grid the shapes are given in; a
    // 16-pixel picture drawn on a 32-unit grid is drawn at half scale.
    Raster(int width, int height, Colour background, double gridUnits = 0);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Colour At(int x, int y) const { return m_pixels[Index(x, y)]; }

    // Sets one pixel, given in pixels (not grid units); outside is ignored.
    void SetPixel(int x, int y, Colour colour);
    // Every shape below fills the pixels whose centres lie inside it.
    void FillRect(double left, double top, double right, double bottom, Colour colour);
    // A one-pixel outline just inside the rectangle's edges.
    void FrameRect(double left, double top, double right, double bottom, Colour colour);
    void FillPolygon(const std::vector<Point>& corners, Colour colour);
    void FillEllipse(double cx, double cy, double rx, double ry, Colour colour);
    // A one-pixel ring on the ellipse's edge.
    void FrameEllipse(double cx, double cy, double rx, double ry, Colour colour);
    // A straight stroke `thickness` grid units wide with square ends.
    void Line(Point from, Point to, double thickness, Colour colour);
    // Every other pixel of a one-pixel horizontal or vertical line.
    void DottedLine(Point from, Point to, Colour colour);

private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    }
    // The centre of pixel (x, y) in grid units.
    Point Centre(int x, int y) const { return {(x + 0.5) / m_scale, (y + 0.5) / m_scale}; }
    int ToPixel(double units) const;
    template <typename Inside>
    void FillWhere(double left, double top, double right, double bottom, Colour colour, Inside inside);

    int m_width;
    int m_height;
    double m_scale;  // pixels per grid unit
    std::vector<Colour> m_pixels;
};

}  // namespace moxtrel::art
