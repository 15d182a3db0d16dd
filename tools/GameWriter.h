#pragma once
// Builds the game's file formats in memory with exactly the bytes a case needs:
// miptex records, BSP texture lumps and maps, PAK archives, WAD2 packages.
// The demo generator, the tests and the benchmarks all use it, so every
// fixture is made in code.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace moxtrel::fixtures {

using Bytes = std::vector<unsigned char>;

// The 16 name bytes of a miptex record or package directory entry: `visible`
// (at most 16 bytes), a NUL if there is room, then `afterNul` (bytes left
// behind after the NUL, as old compilers did), then zeros.
Bytes MakeName16(std::string_view visible, std::string_view afterNul = {});

// A miptex record: the name, width, height, four mip offsets relative to the
// record, then width*height*85/64 pixel bytes drawn from `seed` (a pattern
// that differs per seed, so two records with equal names can differ).
Bytes MakeMiptex(const Bytes& name16, int width, int height, std::uint32_t seed);
Bytes MakeMiptex(std::string_view name, int width, int height, std::uint32_t seed);

// A texture lump: a count, one offset per slot (-1 where the slot is empty),
// then the records back to back in slot order, optionally followed by
// `padding` extra bytes after each record (compilers that copied whole lumps).
Bytes MakeTextureLump(const std::vector<std::optional<Bytes>>& slots, std::size_t padding = 0);

// A texture lump with offsets given as they are: a count, the offsets, then
// `body` (the records, placed by the caller so the offsets point into it).
Bytes MakeRawTextureLump(const std::vector<std::int32_t>& offsets, const Bytes& body);

// A version-29 map of 15 lumps whose lump 2 is `textureLump`; the other lumps
// are short filler so that the texture lump does not start right after the
// header.
Bytes MakeBsp(const Bytes& textureLump, std::int32_t version = 29);

struct PakMember {
    std::string name;  // at most 55 bytes, stored NUL-terminated in 56
    Bytes data;
};

// A PAK archive: header, the members' data in order, then the directory.
Bytes MakePak(const std::vector<PakMember>& members);

// A miptex record drawn by the caller: `pixels` holds width*height palette
// indices, row by row, for the full-size level; each smaller level takes
// every 2nd, 4th and 8th pixel of it.
Bytes MakeMiptexFromPixels(const Bytes& name16, int width, int height, const Bytes& pixels);

struct WadMember {
    Bytes name16;  // the 16 name bytes of the directory entry
    Bytes data;
    unsigned char type = 0x44;  // 'D', a miptex
};

// A WAD2 package: header, the members' data back to back, then the directory.
Bytes MakeWad(const std::vector<WadMember>& members);

// A map's name and its texture slots (-1 where a slot is empty).
using MapSlots = std::pair<std::string, std::vector<std::optional<Bytes>>>;

// An archive as games ship them: a config file that is no map, then one
// version-29 map per entry of `maps`, in order.
Bytes MakeArchiveOfMaps(const std::vector<MapSlots>& maps);

// Patches a little-endian 32-bit value into `bytes` at `offset`.
void PatchInt32(Bytes& bytes, std::size_t offset, std::int32_t value);
std::int32_t ReadInt32(const Bytes& bytes, std::size_t offset);

// Writes `bytes` to `path`, creating or replacing it; throws std::runtime_error.
void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);

}  // namespace moxtrel::fixtures
