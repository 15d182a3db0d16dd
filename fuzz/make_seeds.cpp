// Writes the seed corpus of the fuzzing targets into DIR/<target>/: small
// archives, registry stores, drive maps and packages, each showing one of the
// forms the parsers meet (and a few of the damaged ones), so the fuzzer starts
// from inputs that reach deep into each parser. The archives and packages come
// from the fixture writer. Usage: make_fuzz_seeds DIR (fuzz/corpus).

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "tools/GameWriter.h"
#include "tools/PngWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace moxtrel::fixtures;

// Small textures keep every seed to a few hundred bytes a map.
constexpr int Side = 8;

Bytes Map(const std::vector<std::optional<Bytes>>& slots, std::size_t padding = 0) {
    return MakeBsp(MakeTextureLump(slots, padding));
}

void Write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    WriteBytes((dir / name).string(), bytes);
}

void WriteText(const fs::path& dir, const std::string& name, std::string_view text) {
    Write(dir, name, Bytes(text.begin(), text.end()));
}

void WriteArchiveSeeds(const fs::path& dir) {
    // A game's worth in small: maps and other members, an empty slot, a name
    // met twice with other pixels, animated and liquid textures, item models.
    Write(dir, "two_maps.pak",
          MakePak({{"default.cfg", Bytes(20, 'c')},
                   {"maps/e1m1.bsp", Map({MakeMiptex("brick", Side, Side, 1), std::nullopt, MakeMiptex("+0lava", Side, Side, 2)})},
                   {"progs/player.mdl", Bytes(24, 'm')},
                   {"maps/b_bh10.bsp", Map({MakeMiptex("brick", Side, Side, 3), MakeMiptex("*water", Side, Side, 4)})}}));

    // Bytes after a name's NUL, a 16-byte name with no NUL, names differing in
    // case only, and records followed by padding up to the next one.
    Write(dir, "names_and_padding.pak",
          MakePak({{"maps/start.bsp", Map({MakeMiptex(MakeName16("wall", "junk"), Side, Side, 5),
                                           MakeMiptex(MakeName16("sixteen_chars_xx"), Side, Side, 6),
                                           MakeMiptex("WALL", Side, Side, 7)},
                                          12)}}));

    // Offsets as compilers and damage leave them: -1 slots, two textures at
    // one offset, offsets that do not ascend, one past the lump.
    Bytes body = MakeMiptex("first", Side, Side, 8);
    Bytes second = MakeMiptex("second", Side, Side, 9);
    body.insert(body.end(), second.begin(), second.end());
    auto header = static_cast<std::int32_t>(4 + 4 * 6);
    auto secondAt = static_cast<std::int32_t>(header + static_cast<std::int32_t>(second.size()));
    Write(dir, "odd_offsets.pak",
          MakePak({{"maps/odd.bsp", MakeBsp(MakeRawTextureLump({header, -1, header, secondAt, header, 100000}, body))}}));

    // Maps whose names are not taken, and a map without textures.
    Write(dir, "not_maps.pak",
          MakePak({{"maps/E1M1.BSP", Map({MakeMiptex("upper", Side, Side, 10)})},
                   {"maps.v2/e1m2.bsp", Map({MakeMiptex("dotdir", Side, Side, 11)})},
                   {"maps/e1m3.bsp.bak", Map({MakeMiptex("backup", Side, Side, 12)})},
                   {"maps/empty.bsp", MakeBsp(MakeRawTextureLump({}, {}))}}));

    // A directory length that is not a multiple of an entry.
    Bytes shortDirectory = MakePak({{"maps/a.bsp", Map({MakeMiptex("only", Side, Side, 13)})}});
    PatchInt32(shortDirectory, 8, 100);
    Write(dir, "directory_length_100.pak", shortDirectory);

    Write(dir, "empty.pak", MakePak({}));
    Bytes notPack = MakePak({{"maps/a.bsp", Map({MakeMiptex("never", Side, Side, 14)})}});
    notPack[3] = 'X';
    Write(dir, "not_pack.pak", notPack);

    // Loose maps: the input is also read as a map file of its own, which
    // begins at position 0. A whole map, one whose texture lump lies past the
    // file's end, and one cut short inside its lump directory.
    Bytes looseMap = Map({MakeMiptex("loose", Side, Side, 15), std::nullopt, MakeMiptex("*slime", Side, Side, 16)});
    Write(dir, "loose_map.bsp", looseMap);
    Bytes farLump = looseMap;
    PatchInt32(farLump, 20, 0x7FFFFF00);
    Write(dir, "loose_map_lump_outside.bsp", farLump);
    Write(dir, "loose_map_cut_short.bsp", Bytes(looseMap.begin(), looseMap.begin() + 24));
}

void WriteRegistrySeeds(const fs::path& dir) {
    WriteText(dir, "txpacks.reg",
              "REGEDIT4\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0]\n"
              "\"name\"=\"base.wad\"\n"
              "\"path\"=\"C:\\\\Gantry\\\\base.wad\"\n"
              "\"type\"=dword:00000001\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack1]\n"
              "\"name\"=\"Quake.wad\"\n"
              "\"path\"=\"/games/quake/id1/Quake.wad\"\n"
              "\"type\"=dword:00000001\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack2]\n");
    WriteText(dir, "other_program.reg",
              "REGEDIT4\r\n"
              "; written by another program\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
              "@=\"default \\\"quoted\\\"\"\r\n"
              "\"Blob\"=hex:00,01,02,ff,\\\r\n"
              "  10,20\r\n"
              "\"Expand\"=hex(2):25,00\r\n"
              "\"Empty\"=\"\"\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Other\\Child]\r\n"
              "\"n\"=dword:ffffffff\r\n");
    WriteText(dir, "empty.reg", "REGEDIT4\n");
    const std::string export5 =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0]\r\n"
        "\"name\"=\"base.wad\"\r\n"
        "\"path\"=\"C:\\\\Gantry\\\\base.wad\"\r\n"
        "\"type\"=dword:00000001\r\n"
        "\"Expand\"=hex(2):25,00,41,00,00,00\r\n"
        "\"Lines\"=hex(1):61,00,0a,00,62,00,00,00\r\n";
    // The registry editor's own export: UTF-16LE with a byte-order mark.
    std::string utf16 = "\xFF\xFE";
    for (char c : export5) utf16 += {c, '\0'};
    WriteText(dir, "version5_utf16.reg", utf16);
    WriteText(dir, "version5_utf8_bom.reg", "\xEF\xBB\xBF" + export5);
    // A Wine prefix's user.reg, as the wineserver writes it.
    WriteText(dir, "wine_user.reg",
              "WINE REGISTRY Version 2\n"
              ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
              "\n"
              "#arch=win64\n"
              "\n"
              "[Software\\\\Orvek\\\\Lathmore\\\\Gantry\\\\Settings\\\\txpack0] 1700000000\n"
              "#time=1da1b2c3d4e5f60\n"
              "\"name\"=\"base \\\"one\\\" \\x00e9a\\xe9.wad\\n\"\n"
              "\"path\"=\"C:\\\\Gantry\\\\base.wad\"\n"
              "\"type\"=dword:00000001\n"
              "\n"
              "[Software\\\\Other\\\\\\[x\\]] 1700000002\n"
              "#time=1da1b2c3d4e5f62\n"
              "#class=\"c\"\n"
              "@=\"default\"\n"
              "\"Env\"=str(2):\"%PATH%\"\n"
              "\"Multi\"=str(7):\"a\\0b\\0\"\n"
              "\"Blob\"=hex:01,02,\\\n"
              "  03\n"
              "\"Odd\"=hex(b):01,00,00,00,00,00,00,00\n");
}

void WriteDriveMapSeeds(const fs::path& dir) {
    WriteText(dir, "drives.map",
              "# the drives Search may look at\n"
              "/ fixed\n"
              "/media/usb removable 1234abcd\n"
              "/mnt/share remote\n"
              "/cdrom cdrom FFFFFFFF\n"
              "/dev/shm ramdisk\n"
              "/proc unknown\n");
    WriteText(dir, "odd_lines.map",
              "  /games/My Games\tfixed  # a path with a blank\n"
              "relative/dir fixed 0\n"
              "/no/type\n"
              "/bad/serial fixed 123456789\n"
              "fixed\n"
              "/trailing/ removable\n");
}

void WritePackageSeeds(const fs::path& dir) {
    Write(dir, "three_lumps.wad",
          MakeWad({{MakeName16("brick"), MakeMiptex("brick", Side, Side, 1)},
                   {MakeName16("+0lava", "x"), MakeMiptex("+0lava", Side, Side, 2)},
                   {MakeName16("palette"), Bytes(48, 7), 0x40}}));
    Write(dir, "empty.wad", MakeWad({}));
    Bytes outside = MakeWad({{MakeName16("far"), MakeMiptex("far", Side, Side, 3)}});
    PatchInt32(outside, outside.size() - 32, 5000);
    Write(dir, "lump_outside.wad", outside);
}

// Packages to draw: animation frames out of order, a texture larger than a
// cell, and records damaged in each way the sheet checks.
void WriteSheetSeeds(const fs::path& dir) {
    Bytes wide = MakeMiptex("wide", 64, 16, 4);
    Write(dir, "frames_and_sizes.wad",
          MakeWad({{MakeName16("+1fan"), MakeMiptex("+1fan", Side, Side, 1)},
                   {MakeName16("wide"), wide},
                   {MakeName16("+0fan"), MakeMiptex("+0fan", Side, Side, 2)},
                   {MakeName16("+afan"), MakeMiptex("+afan", Side, 2 * Side, 3)},
                   {MakeName16("colormap"), Bytes(64, 7), 0x40}}));
    Bytes levelOutside = MakeMiptex("outside", Side, Side, 5);
    PatchInt32(levelOutside, 36, 4000);  // the last mip level
    Bytes noPixels = MakeMiptex("nopixels", Side, Side, 6);
    noPixels.resize(40);
    Bytes flat = MakeMiptex("flat", Side, Side, 7);
    PatchInt32(flat, 20, 0);  // height 0
    Write(dir, "damaged_records.wad",
          MakeWad({{MakeName16("short"), Bytes(12, 1)},
                   {MakeName16("outside"), levelOutside},
                   {MakeName16("nopixels"), noPixels},
                   {MakeName16("flat"), flat},
                   {MakeName16("sound"), MakeMiptex("sound", Side, Side, 8)}}));
}

// Pictures to pack: each colour type and bit depth, a fence's alpha, a
// palette with transparency, interlacing, and a picture cut short.
void WritePictureSeeds(const fs::path& dir) {
    auto spec = [](PngColour colour, int depth, int channels, bool interlaced = false) {
        PngSpec png{16, 16, colour, depth, interlaced, {}, {}, {}};
        auto top = static_cast<unsigned>((1 << depth) - 1);
        for (unsigned i = 0; i < 16u * 16u * static_cast<unsigned>(channels); ++i) {
            png.samples.push_back(static_cast<std::uint16_t>((i * 37u) & top));
        }
        return png;
    };
    Write(dir, "rgb.png", MakePng(spec(PngColour::Rgb, 8, 3)));
    Write(dir, "rgba_fence.png", MakePng(spec(PngColour::Rgba, 8, 4)));
    Write(dir, "grey_16bit.png", MakePng(spec(PngColour::Grey, 16, 1)));
    Write(dir, "grey_alpha_interlaced.png", MakePng(spec(PngColour::GreyAlpha, 8, 2, true)));
    PngSpec palette = spec(PngColour::Palette, 4, 1);
    for (std::uint32_t i = 0; i < 16; ++i) palette.palette.push_back(i * 0x0F0D0Bu);
    palette.paletteAlpha = {0, 64, 200};
    Write(dir, "palette_transparent.png", MakePng(palette));
    Bytes cut = MakePng(spec(PngColour::Rgb, 16, 3));
    cut.resize(cut.size() / 2);
    Write(dir, "rgb_16bit_cut_short.png", cut);
}

// Packages and maps to export: liquids, fences, names no file can hold, and
// records damaged in each way the export checks.
void WriteExportSeeds(const fs::path& dir) {
    Bytes flat = MakeMiptex("flat", Side, Side, 7);
    PatchInt32(flat, 20, 0);
    Write(dir, "names_and_fences.wad",
          MakeWad({{MakeName16("*water1"), MakeMiptex("*water1", Side, Side, 1)},
                   {MakeName16("{grate"), MakeMiptex("{grate", Side, Side, 2)},
                   {MakeName16("con"), MakeMiptex("con", Side, Side, 3)},
                   {MakeName16("a/b%c#\xff"), MakeMiptex("a/b%c#\xff", Side, Side, 4)},
                   {MakeName16("flat"), flat},
                   {MakeName16("palette"), Bytes(48, 7), 0x40}}));
    Write(dir, "map.bsp",
          Map({MakeMiptex("{fence", Side, 2 * Side, 5), std::nullopt, MakeMiptex("sky4", 2 * Side, Side, 6)}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    try {
        fs::path corpus = argv[1];
        WriteArchiveSeeds(corpus / "harvest");
        WriteRegistrySeeds(corpus / "registry");
        WriteDriveMapSeeds(corpus / "drive_map");
        WritePackageSeeds(corpus / "wad_reader");
        WriteSheetSeeds(corpus / "preview");
        WritePictureSeeds(corpus / "pack_picture");
        WriteExportSeeds(corpus / "export_pictures");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
