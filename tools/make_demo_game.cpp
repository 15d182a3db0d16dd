// make_demo_game OUT: writes a small made-up game installation under OUT so
// that Moxtrel can be tried without the real game (--help or -h prints the
// usage):
//   OUT/quake/quake.exe          what Search looks for (placeholder bytes)
//   OUT/quake/id1/PAK0.PAK       maps e1m1, e1m2, b_shell and a few other files
//   OUT/quake/id1/PAK1.PAK       maps e2m1, dm1
// The maps carry drawn textures with the cases real installs have: animation
// frames ('+'), liquids ('*'), empty (-1) slots, a 16-character name without
// a NUL, a name with bytes left after its NUL, a name that occurs in both
// archives with other pixels in the second (the first finding wins), and
// archive members that are not maps. The output is the same on every run.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/GameWriter.h"

namespace {

using moxtrel::fixtures::Bytes;
namespace fixtures = moxtrel::fixtures;

// The made-up palette: 16 ramps of 16 shades, dark to bright. Textures pick a
// ramp and a shade, so index = ramp * 16 + shade.
enum Ramp : int {
    Grey,
    Wood,
    Brick,
    Sand,
    Moss,
    Water,
    Lava,
    Dusk,
    Steel,
    Copper,
    Teal,
    Rose,
    Olive,
    Ice,
    Rust,
    Glow,
    RampCount
};
constexpr int Shades = 16;

struct Rgb {
    int r, g, b;
};

constexpr Rgb RampColours[RampCount] = {
    {235, 235, 235}, {176, 118, 62},  {190, 72, 52},   {222, 200, 150}, {96, 170, 70},  {60, 120, 220},
    {255, 140, 30},  {150, 90, 200},  {150, 170, 190}, {210, 130, 80},  {60, 190, 180}, {230, 130, 160},
    {160, 160, 70},  {200, 230, 255}, {170, 90, 40},   {255, 250, 190},
};

Bytes MakePalette() {
    Bytes palette;
    for (const Rgb& colour : RampColours) {
        for (int shade = 0; shade < Shades; ++shade) {
            // From 15% of the colour at shade 0 up to the full colour at 15.
            int scale = 15 + 85 * shade / (Shades - 1);
            for (int channel : {colour.r, colour.g, colour.b}) {
                palette.push_back(static_cast<unsigned char>(channel * scale / 100));
            }
        }
    }
    return palette;
}

// A well-mixed hash of a few integers: the only source of "randomness", so
// every run draws the same pixels.
std::uint32_t Hash(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0) {
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

int Jitter(std::uint32_t seed, int x, int y, int spread) {
    return static_cast<int>(Hash(seed, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) %
                            static_cast<std::uint32_t>(2 * spread + 1)) -
           spread;
}

// A triangle wave of the given period, 0 .. period/2: smooth stripes without
// floating point.
int Triangle(int t, int period) {
    int m = ((t % period) + period) % period;
    return std::abs(m - period / 2);
}

// Smooth value noise, 0..15, that tiles over a width x height picture: random
// shades at the corners of `cell`-sized squares, blended in between.
int SmoothNoise(std::uint32_t seed, int x, int y, int width, int height, int cell) {
    int cellsX = width / cell, cellsY = height / cell;
    auto corner = [&](int cx, int cy) {
        return static_cast<int>(
            Hash(seed, static_cast<std::uint32_t>(cx % cellsX), static_cast<std::uint32_t>(cy % cellsY)) % 16u);
    };
    int cx = x / cell, cy = y / cell, fx = x % cell, fy = y % cell;
    int top = corner(cx, cy) * (cell - fx) + corner(cx + 1, cy) * fx;
    int bottom = corner(cx, cy + 1) * (cell - fx) + corner(cx + 1, cy + 1) * fx;
    return (top * (cell - fy) + bottom * fy) / (cell * cell);
}

unsigned char Colour(int ramp, int shade) {
    return static_cast<unsigned char>(ramp * Shades + std::clamp(shade, 0, Shades - 1));
}

struct Picture {
    int width, height;
    Bytes pixels;
};

Picture Draw(int width, int height, const std::function<unsigned char(int, int)>& pixelAt) {
    Picture picture{width, height, {}};
    picture.pixels.reserve(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture.pixels.push_back(pixelAt(x, y));
    }
    return picture;
}

// Staggered bricks with mortar lines; each brick has its own shade.
Picture Bricks(int width, int height, std::uint32_t seed, int brickRamp, int mortarRamp) {
    const int brickW = 16, brickH = 8;
    return Draw(width, height, [=](int x, int y) {
        int row = y / brickH;
        int shifted = x + (row % 2) * brickW / 2;
        int column = (shifted / brickW) % (width / brickW);
        bool mortar = y % brickH == brickH - 1 || shifted % brickW == brickW - 1;
        if (mortar) return Colour(mortarRamp, 6 + Jitter(seed, x, y, 1));
        int base = 7 + Jitter(seed, column, row, 2);
        int edge = (y % brickH == 0 || shifted % brickW == 0) ? 2 : 0;  // light catches the top-left edge
        return Colour(brickRamp, base + edge + Jitter(seed + 1, x, y, 1));
    });
}

// Horizontal planks with wavy grain, dark seams and the odd knot.
Picture Planks(int width, int height, std::uint32_t seed, int ramp) {
    const int plankH = 16;
    return Draw(width, height, [=](int x, int y) {
        int plank = y / plankH;
        if (y % plankH == plankH - 1) return Colour(ramp, 2);
        int offset = static_cast<int>(Hash(seed, static_cast<std::uint32_t>(plank)) % 64u);
        int grain = Triangle(y * 4 + Triangle(x + offset, 32), 12);
        int knotX = static_cast<int>(Hash(seed, static_cast<std::uint32_t>(plank), 1) % static_cast<std::uint32_t>(width));
        int dx = x - knotX, dy = (y % plankH) - plankH / 2;
        bool knot = dx * dx + 4 * dy * dy < 20;
        return Colour(ramp, (knot ? 3 : 6) + grain / 2 + Jitter(seed, x, y, 1));
    });
}

// Rough stone: two scales of noise.
Picture Stone(int width, int height, std::uint32_t seed, int ramp) {
    return Draw(width, height, [=](int x, int y) {
        int coarse = SmoothNoise(seed, x, y, width, height, 16);
        int fine = SmoothNoise(seed + 7, x, y, width, height, 4);
        return Colour(ramp, 2 + (coarse * 2 + fine) / 4 + Jitter(seed, x, y, 1));
    });
}

// Rippled liquid; `phase` moves the ripples, so frames of one animation differ.
Picture Liquid(int width, int height, std::uint32_t seed, int ramp, int phase) {
    return Draw(width, height, [=](int x, int y) {
        int wave = Triangle(x + Triangle(y + phase, 32) + phase, 16) + Triangle(y + Triangle(x, 16), 32) / 2;
        return Colour(ramp, 4 + wave / 2 + Jitter(seed, x, y, 1));
    });
}

// A bevelled steel plate with a rivet in each corner.
Picture Plate(int width, int height, std::uint32_t seed, int ramp) {
    return Draw(width, height, [=](int x, int y) {
        const int inset = 6;
        for (int cx : {inset, width - 1 - inset}) {
            for (int cy : {inset, height - 1 - inset}) {
                int dx = x - cx, dy = y - cy;
                if (dx * dx + dy * dy <= 5) return Colour(ramp, dx + dy < 0 ? 14 : 5);
            }
        }
        if (x < 2 || y < 2) return Colour(ramp, 13);
        if (x >= width - 2 || y >= height - 2) return Colour(ramp, 3);
        return Colour(ramp, 8 + Jitter(seed, x / 2, y, 1));
    });
}

// A panel of square cells with lit seams.
Picture TechGrid(int width, int height, std::uint32_t seed, int ramp, int lineRamp) {
    return Draw(width, height, [=](int x, int y) {
        if (x % 16 == 0 || y % 16 == 0) return Colour(lineRamp, 12);
        return Colour(ramp, 5 + SmoothNoise(seed, x, y, width, height, 8) / 4 + Jitter(seed, x, y, 1));
    });
}

// A switch: a steel plate with a round lamp, lit or dark.
Picture Button(int width, int height, std::uint32_t seed, bool lit) {
    Picture plate = Plate(width, height, seed, Steel);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int dx = x - width / 2, dy = y - height / 2;
            int d2 = dx * dx + dy * dy;
            if (d2 < 100) {
                int shade = lit ? 15 - d2 / 10 : 4 - d2 / 30;
                plate.pixels[static_cast<std::size_t>(y * width + x)] = Colour(lit ? Glow : Rust, shade);
            }
        }
    }
    return plate;
}

// Clouds over a dusk gradient.
Picture Sky(int width, int height, std::uint32_t seed) {
    return Draw(width, height, [=](int x, int y) {
        int cloud = SmoothNoise(seed, x, y, width, height, 16) + SmoothNoise(seed + 3, x, y, width, height, 8) / 2;
        if (cloud > 14) return Colour(Rose, cloud - 8);
        return Colour(Dusk, 3 + y * 8 / height + cloud / 4);
    });
}

// A crate: planks inside a darker frame with a cross brace.
Picture Crate(int width, int height, std::uint32_t seed) {
    Picture planks = Planks(width, height, seed, Wood);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool frame = x < 5 || y < 5 || x >= width - 5 || y >= height - 5;
            bool brace = std::abs(x - y) < 3 || std::abs(x - (height - 1 - y)) < 3;
            if (frame || brace) planks.pixels[static_cast<std::size_t>(y * width + x)] = Colour(Rust, 6 + Jitter(seed, x, y, 1));
        }
    }
    return planks;
}

Bytes Miptex(const Bytes& name16, const Picture& picture) {
    return fixtures::MakeMiptexFromPixels(name16, picture.width, picture.height, picture.pixels);
}

Bytes Miptex(const std::string& name, const Picture& picture) {
    return Miptex(fixtures::MakeName16(name), picture);
}

using Slots = std::vector<std::optional<Bytes>>;

fixtures::PakMember Map(const std::string& name, const Slots& slots, std::size_t padding = 0) {
    return {name, fixtures::MakeBsp(fixtures::MakeTextureLump(slots, padding))};
}

fixtures::PakMember Text(const std::string& name, const std::string& text) {
    return {name, Bytes(text.begin(), text.end())};
}

// Textures used by more than one map are drawn once, so repeats are identical.
const Bytes& RedBricks() {
    static const Bytes record = Miptex("brick_red", Bricks(64, 64, 11, Brick, Sand));
    return record;
}

const Bytes& LitButton() {
    static const Bytes record = Miptex("+0button", Button(64, 64, 61, true));
    return record;
}

Bytes MakePak0() {
    Slots e1m1 = {
        RedBricks(),
        Miptex("plank_floor", Planks(128, 64, 21, Wood)),
        Miptex("*water1", Liquid(64, 64, 31, Water, 0)),
        Miptex("+0lava", Liquid(64, 64, 41, Lava, 0)),
        Miptex("+1lava", Liquid(64, 64, 41, Lava, 8)),
        Miptex("+2lava", Liquid(64, 64, 41, Lava, 16)),
        std::nullopt,  // a slot the map compiler left empty
    };
    Slots e1m2 = {
        Miptex("stone_grey", Stone(128, 128, 51, Grey)),
        RedBricks(),  // the same texture again: kept once
        // Sixteen characters fill the name field; no NUL follows.
        Miptex("metal_panel_long", Plate(64, 64, 52, Steel)),
        // Old compilers left other bytes after the NUL; they are copied as they are.
        Miptex(fixtures::MakeName16("tech_grid", "OLD*cpy"), TechGrid(128, 128, 53, Teal, Ice)),
        std::nullopt,
        LitButton(),
        Miptex("+1button", Button(64, 64, 61, false)),
    };
    Slots shell = {
        Miptex("shell_side", Crate(64, 64, 71)),
        Miptex("shell_top", Plate(64, 64, 72, Copper)),
    };
    return fixtures::MakePak({
        Text("default.cfg", "// made-up settings of the demo game\nbind w +forward\nbind s +back\n"
                            "bind a +moveleft\nbind d +moveright\nbind space +jump\n"),
        {"gfx/palette.lmp", MakePalette()},
        Text("progs/player.mdl", "placeholder: the demo game has no models\n"),
        Map("maps/e1m1.bsp", e1m1),
        Map("maps/e1m2.bsp", e1m2, 4),  // records padded, as compilers that copied whole lumps did
        Map("maps/b_shell.bsp", shell),
        Text("maps/readme.txt", "The maps of the demo game hold textures only.\n"),
    });
}

Bytes MakePak1() {
    Slots e2m1 = {
        // Named as in PAK0 but mossy: the package keeps PAK0's red bricks.
        Miptex("brick_red", Bricks(64, 64, 12, Moss, Grey)),
        Miptex("*slime0", Liquid(64, 64, 32, Moss, 4)),
        Miptex("moss_stone", Stone(64, 64, 54, Olive)),
        LitButton(),
        Miptex("+abutton", Button(64, 64, 62, true)),
    };
    Slots dm1 = {
        Miptex("sky_dusk", Sky(128, 64, 81)),
        std::nullopt,
        Miptex("wood_crate", Crate(64, 64, 82)),
        Miptex("*lava1", Liquid(64, 64, 42, Lava, 4)),
        Miptex("metal_floor", Plate(128, 128, 83, Steel)),
    };
    return fixtures::MakePak({
        Map("maps/e2m1.bsp", e2m1),
        Map("maps/dm1.bsp", dm1),
    });
}

constexpr const char* Usage =
    "usage: make_demo_game OUT\nwrites OUT/quake/quake.exe and OUT/quake/id1/PAK0.PAK, PAK1.PAK\n";

}  // namespace

int main(int argc, char** argv) {
    const std::string argument = argc == 2 ? argv[1] : "";
    if (argument == "--help" || argument == "-h") {
        std::fputs(Usage, stdout);
        return 0;
    }
    // No option is known, so a word starting with '-' is a mistake rather
    // than the name of a folder to write into.
    if (argc != 2 || argument.starts_with('-')) {
        std::fputs(Usage, stderr);
        return 2;
    }
    try {
        std::filesystem::path game = std::filesystem::path(argv[1]) / "quake";
        std::filesystem::create_directories(game / "id1");
        std::string exe = "placeholder for the demo game's executable: Search finds the game by this name\n";
        fixtures::WriteBytes((game / "quake.exe").string(), Bytes(exe.begin(), exe.end()));
        fixtures::WriteBytes((game / "id1" / "PAK0.PAK").string(), MakePak0());
        fixtures::WriteBytes((game / "id1" / "PAK1.PAK").string(), MakePak1());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_demo_game: %s\n", error.what());
        return 1;
    }
    return 0;
}
