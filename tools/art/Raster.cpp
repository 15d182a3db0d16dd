#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace moxtrel::art {

Raster::Raster(int width, int height, Colour background, double gridUnits)
    : m_width(width),
      m_height(height),
      m_scale(gridUnits > 0 ? width / gridUnits : 1.0),
      m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background) {}

void Raster::SetPixel(int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    m_pixels[Index(x, y)] = colour;
}

int Raster::ToPixel(double units) const { return static_cast<int>(std::floor(units * m_scale)); }

// Visits the pixels of the bounding box (in grid units) and paints those whose
// centre the shape holds.
template <typename Inside>
void Raster::FillWhere(double left, double top, double right, double bottom, Colour colour, Inside inside) {
    int x0 = std::max(0, ToPixel(left) - 1);
    int y0 = std::max(0, ToPixel(top) - 1);
    int x1 = std::min(m_width - 1, ToPixel(right) + 1);
    int y1 = std::min(m_height - 1, ToPixel(bottom) + 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (inside(Centre(x, y))) SetPixel(x, y, colour);
        }
    }
}

void Raster::FillRect(double left, double top, double right, double bottom, Colour colour) {
    FillWhere(left, top, right, bottom, colour,
              [&](Point p) { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; });
}

void Raster::FrameRect(double left, double top, double right, double bottom, Colour colour) {
    double px = 1.0 / m_scale;  // one pixel in grid units
    FillRect(left, top, right, top + px, colour);
    FillRect(left, bottom - px, right, bottom, colour);
    FillRect(left, top, left + px, bottom, colour);
    FillRect(right - px, top, right, bottom, colour);
}

void Raster::FillPolygon(const std::vector<Point>& corners, Colour colour) {
    if (corners.size() < 3) return;
    double left = corners[0].x, right = left, top = corners[0].y, bottom = top;
    for (const Point& c : corners) {
        left = std::min(left, c.x);
        right = std::max(right, c.x);
        top = std::min(top, c.y);
        bottom = std::max(bottom, c.y);
    }
    // Even-odd rule: a point is inside when a ray to its right crosses the
    // outline an odd number of times.
    FillWhere(left, top, right, bottom, colour, [&](Point p) {
        bool inside = false;
        for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            const Point& a = corners[i];
            const Point& b = corners[j];
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
                inside = !inside;
            }
        }
        return inside;
    });
}

void Raster::FillEllipse(double cx, double cy, double rx, double ry, Colour colour) {
    FillWhere(cx - rx, cy - ry, cx + rx, cy + ry, colour, [&](Point p) {
        double dx = (p.x - cx) / rx, dy = (p.y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    });
}

void Raster::FrameEllipse(double cx, double cy, double rx, double ry, Colour colour) {
    double px = 1.0 / m_scale;
    FillWhere(cx - rx, cy - ry, cx + rx, cy + ry, colour, [&](Point p) {
        double dx = (p.x - cx) / rx, dy = (p.y - cy) / ry;
        double ix = (p.x - cx) / std::max(rx - px, 0.01), iy = (p.y - cy) / std::max(ry - px, 0.01);
        return dx * dx + dy * dy <= 1.0 && ix * ix + iy * iy > 1.0;
    });
}

void Raster::Line(Point from, Point to, double thickness, Colour colour) {
    double dx = to.x - from.x, dy = to.y - from.y;
    double length = std::hypot(dx, dy);
    if (length == 0) {
        FillRect(from.x - thickness / 2, from.y - thickness / 2, from.x + thickness / 2, from.y + thickness / 2,
                 colour);
        return;
    }
    // The stroke is a rectangle around the segment, extended by half the
    // thickness at both ends.
    double ux = dx / length * thickness / 2, uy = dy / length * thickness / 2;
    FillPolygon({{from.x - ux + uy, from.y - uy - ux},
                 {to.x + ux + uy, to.y + uy - ux},
                 {to.x + ux - uy, to.y + uy + ux},
                 {from.x - ux - uy, from.y - uy + ux}},
                colour);
}

void Raster::DottedLine(Point from, Point to, Colour colour) {
    int x0 = ToPixel(from.x), y0 = ToPixel(from.y), x1 = ToPixel(to.x), y1 = ToPixel(to.y);
    int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; i += 2) {
        int x = steps == 0 ? x0 : x0 + (x1 - x0) * i / steps;
        int y = steps == 0 ? y0 : y0 + (y1 - y0) * i / steps;
        SetPixel(x, y, colour);
    }
}

}  // namespace moxtrel::art
