#include "Pictures.h"

#include <cmath>
#include <numbers>

namespace moxtrel::art {

namespace P = Palette;

namespace {

// Icons are designed on a 32-unit grid.
constexpr double IconGrid = 32;

// A grey drive case with a one-pixel black edge and a coloured lamp; the
// rectangle is in the raster's grid units.
void DriveBox(Raster& r, double left, double top, double right, double bottom, Colour lamp, double lampSize) {
    r.FillRect(left, top, right, bottom, P::Silver);
    r.FillRect(left, bottom - (bottom - top) / 3, right, bottom, P::Grey);
    r.FrameRect(left, top, right, bottom, P::Black);
    double lampRight = right - lampSize;
    double lampTop = bottom - (bottom - top) / 3 - lampSize / 2;
    r.FillRect(lampRight - lampSize, lampTop, lampRight, lampTop + lampSize, lamp);
}

// A yellow folder seen from the front; `open` folds its front flap down.
void Folder(Raster& r, double ox, bool open) {
    if (!open) {
        r.FillRect(ox + 2, 3, ox + 7, 5, P::Yellow);
        r.FrameRect(ox + 2, 3, ox + 7, 6, P::Olive);
        r.FillRect(ox + 1, 5, ox + 15, 14, P::Yellow);
        r.FrameRect(ox + 1, 5, ox + 15, 14, P::Olive);
        r.FillRect(ox + 2, 6, ox + 14, 7, P::White);
        return;
    }
    r.FillRect(ox + 1, 3, ox + 6, 5, P::Olive);
    r.FillRect(ox + 1, 4, ox + 14, 14, P::Olive);
    r.FrameRect(ox + 1, 3, ox + 14, 14, P::Black);
    r.FillPolygon({{ox + 4, 7.5}, {ox + 16, 7.5}, {ox + 13, 14}, {ox + 1, 14}}, P::Yellow);
    r.Line({ox + 4, 7.5}, {ox + 15.5, 7.5}, 1, P::Olive);
    r.Line({ox + 15.5, 7.5}, {ox + 13, 13.5}, 1, P::Olive);
}

// A square texture tile drawn as a checker of two colours.
void TextureTile(Raster& r, double left, double top, double size, Colour dark, Colour light) {
    double cell = size / 4;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            Colour c = (row + col) % 2 ? dark : light;
            r.FillRect(left + col * cell, top + row * cell, left + (col + 1) * cell, top + (row + 1) * cell, c);
        }
    }
    r.FrameRect(left, top, left + size, top + size, P::Black);
}

// A round lens with a black rim and a handle running down to the right.
void MagnifyingGlass(Raster& r, double cx, double cy, double radius, double handle, Colour handleColour) {
    double reach = radius * 0.7;
    r.Line({cx + reach, cy + reach}, {cx + reach + handle, cy + reach + handle}, radius * 0.5, handleColour);
    r.FillEllipse(cx, cy, radius, radius, P::Black);
    r.FillEllipse(cx, cy, radius * 0.75, radius * 0.75, P::Aqua);
    r.FillEllipse(cx - radius * 0.3, cy - radius * 0.3, radius * 0.2, radius * 0.2, P::White);
}

}  // namespace

Raster ProgramIcon(int size) {
    Raster r(size, size, P::Clear, IconGrid);
    r.FillRect(5, 13, 21, 29, P::Black);
    r.FrameRect(5, 13, 21, 29, P::Grey);
    // Red arrow coming down into the square.
    r.FillRect(10.5, 1, 15.5, 10, P::Red);
    r.FillPolygon({{6, 9}, {20, 9}, {13, 18}}, P::Red);
    // Blue arrow leaving it to the right.
    r.FillRect(15, 18.5, 25, 23.5, P::Blue);
    r.FillPolygon({{24, 14}, {24, 28}, {31.5, 21}}, P::Blue);
    return r;
}

Raster LocateIcon() {
    Raster r(32, 32, P::Clear, IconGrid);
    DriveBox(r, 1, 21, 19, 30, P::Lime, 2);
    // The tree line from the drive up to the folder.
    r.DottedLine({7, 20}, {7, 10}, P::Black);
    r.DottedLine({7, 10}, {14, 10}, P::Black);
    // An open folder.
    r.FillPolygon({{15, 3}, {21, 3}, {23, 5}, {30, 5}, {30, 17}, {15, 17}}, P::Olive);
    r.FillPolygon({{18, 8}, {31.5, 8}, {29, 17}, {15, 17}}, P::Yellow);
    r.Line({18, 8}, {31, 8}, 1, P::Black);
    r.Line({31, 8}, {29, 17}, 1, P::Black);
    r.Line({15, 17}, {29, 17}, 1, P::Black);
    r.Line({15, 3}, {15, 17}, 1, P::Black);
    r.Line({15, 3}, {21, 3}, 1, P::Black);
    return r;
}

Raster SearchIcon() {
    Raster r(32, 32, P::Clear, IconGrid);
    // The gear: eight teeth around a wheel with a hub.
    const Point centre{12, 20};
    for (int tooth = 0; tooth < 8; ++tooth) {
        double angle = tooth * std::numbers::pi / 4;
        double c = std::cos(angle), s = std::sin(angle);
        r.Line({centre.x + 6 * c, centre.y + 6 * s}, {centre.x + 9 * c, centre.y + 9 * s}, 4.5, P::Black);
    }
    r.FillEllipse(centre.x, centre.y, 8, 8, P::Grey);
    for (int tooth = 0; tooth < 8; ++tooth) {
        double angle = tooth * std::numbers::pi / 4;
        double c = std::cos(angle), s = std::sin(angle);
        r.Line({centre.x + 6 * c, centre.y + 6 * s}, {centre.x + 8.5 * c, centre.y + 8.5 * s}, 3, P::Grey);
    }
    r.FillEllipse(centre.x, centre.y, 3, 3, P::Silver);
    r.FillEllipse(centre.x, centre.y, 1.5, 1.5, P::Black);
    MagnifyingGlass(r, 20, 11, 8, 5, P::Maroon);
    return r;
}

Raster BeginIcon() {
    Raster r(32, 32, P::Clear, IconGrid);
    // Three sticks of dynamite with a band and a fuse.
    for (int stick = 0; stick < 3; ++stick) {
        double left = 1 + stick * 4.5;
        r.FillRect(left, 14, left + 4.5, 31, P::Red);
        r.FrameRect(left, 14, left + 4.5, 31, P::Maroon);
    }
    r.FillRect(1, 21, 14.5, 24, P::Black);
    r.Line({7.75, 14}, {7.75, 10}, 1, P::Grey);
    // The wire from the fuse to the detonator.
    r.Line({7.75, 10}, {12, 7}, 1, P::Black);
    r.Line({12, 7}, {15, 12}, 1, P::Black);
    r.Line({15, 12}, {18, 26}, 1, P::Black);
    // The detonator box with its plunger and T-handle.
    r.FillRect(17, 19, 31, 31, P::Maroon);
    r.FrameRect(17, 19, 31, 31, P::Black);
    r.FillRect(19.5, 24, 28.5, 28, P::Yellow);
    r.FillRect(23, 7, 25, 19, P::Silver);
    r.FrameRect(22.5, 7, 25.5, 19, P::Grey);
    r.FillRect(17.5, 4, 30.5, 7.5, P::Black);
    return r;
}

Raster PointerIcon(int size) {
    Raster r(size, size, P::Clear, IconGrid);
    r.FillPolygon({{2, 10.5}, {15, 10.5}, {15, 3}, {30.5, 16}, {15, 29}, {15, 21.5}, {2, 21.5}}, P::Black);
    r.FillPolygon({{4, 12.5}, {17, 12.5}, {17, 7.5}, {27.5, 16}, {17, 24.5}, {17, 19.5}, {4, 19.5}}, P::Yellow);
    return r;
}

Raster DriveAndFolderStrip() {
    Raster r(112, 16, P::Magenta);
    // 0: hard disk.
    DriveBox(r, 1, 5, 15, 12, P::Lime, 2);
    // 1: floppy drive, with its slot.
    DriveBox(r, 17, 5, 31, 12, P::Red, 2);
    r.FillRect(19, 7, 29, 8, P::Black);
    // 2: CD-ROM drive with a disc above it.
    r.FillEllipse(40, 5, 5, 4.5, P::Silver);
    r.FrameEllipse(40, 5, 5, 4.5, P::Grey);
    r.FillRect(42, 3, 44, 5, P::Aqua);
    r.FillEllipse(40, 5, 1.2, 1.2, P::White);
    DriveBox(r, 33, 10, 47, 16, P::Lime, 2);
    // 3: network drive, with the cable below it.
    DriveBox(r, 49, 2, 63, 9, P::Lime, 2);
    r.FillRect(55.5, 9, 56.5, 13, P::Black);
    r.FillRect(50, 13, 62, 14, P::Black);
    // 4: RAM disk, a plain white square.
    r.FillRect(66, 2, 78, 14, P::White);
    r.FrameRect(66, 2, 78, 14, P::Grey);
    // 5 and 6: closed and open folder.
    Folder(r, 80, false);
    Folder(r, 96, true);
    return r;
}

std::vector<Raster> ExtractionFrames() {
    constexpr int FrameCount = 17;
    constexpr double Start = 40, Travel = 170, Spacing = 34, TileSize = 12;
    // Each tile moves 10 pixels a frame, so after 17 frames every tile is
    // back where it started and the loop has no seam.
    constexpr double StepPerFrame = Travel / FrameCount;
    const Colour darks[] = {P::Maroon, P::Green, P::Navy, P::Teal, P::Purple};
    const Colour lights[] = {P::Red, P::Lime, P::Blue, P::Aqua, P::Yellow};

    std::vector<Raster> frames;
    for (int frame = 0; frame < FrameCount; ++frame) {
        Raster r(260, 40, P::Magenta);
        for (int tile = 0; tile < 5; ++tile) {
            double t = std::fmod(frame * StepPerFrame + tile * Spacing, Travel);
            double x = Start + t;
            double y = 20 - TileSize / 2 - 13 * std::sin(std::numbers::pi * t / Travel);
            TextureTile(r, x, y, TileSize, darks[tile], lights[tile]);
        }
        // The archive crate the tiles come out of, drawn over them.
        r.FillRect(4, 6, 46, 36, P::Olive);
        r.FrameRect(4, 6, 46, 36, P::Black);
        r.Line({5, 7}, {45, 35}, 3, P::Maroon);
        r.Line({45, 7}, {5, 35}, 3, P::Maroon);
        r.FrameRect(7, 9, 43, 33, P::Maroon);
        // The package they go into, with the textures it already holds.
        r.FillRect(214, 4, 256, 38, P::Navy);
        r.FrameRect(214, 4, 256, 38, P::Black);
        for (int slot = 0; slot < 6; ++slot) {
            TextureTile(r, 217 + (slot % 3) * 13, 8 + (slot / 3) * 14, 10, darks[slot % 5], lights[slot % 5]);
        }
        frames.push_back(r);
    }
    return frames;
}

std::vector<Raster> SearchFrames() {
    constexpr int FrameCount = 8;
    std::vector<Raster> frames;
    for (int frame = 0; frame < FrameCount; ++frame) {
        Raster r(48, 45, P::Magenta);
        // The computer: monitor on a stand, keyboard in front.
        r.FillRect(9, 4, 39, 28, P::Silver);
        r.FrameRect(9, 4, 39, 28, P::Black);
        r.FillRect(12, 7, 36, 25, P::Navy);
        r.FillRect(14, 9, 24, 10, P::Aqua);
        r.FillRect(14, 12, 30, 13, P::Aqua);
        r.FillRect(14, 15, 27, 16, P::Aqua);
        r.FillRect(21, 28, 27, 32, P::Grey);
        r.FillRect(6, 33, 42, 40, P::Silver);
        r.FrameRect(6, 33, 42, 40, P::Black);
        for (int key = 0; key < 8; ++key) r.FillRect(9 + key * 4, 35, 11 + key * 4, 38, P::Grey);
        // The glass sweeps across the screen and back.
        double phase = 2 * std::numbers::pi * frame / FrameCount;
        double cx = 16 + 14 * (0.5 - 0.5 * std::cos(phase));
        double cy = 15 + 5 * std::sin(phase);
        MagnifyingGlass(r, cx, cy, 7, 5, P::Maroon);
        frames.push_back(r);
    }
    return frames;
}

}  // namespace moxtrel::art
