#include "tools/GameWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/LittleEndian.h"

namespace moxtrel::fixtures {

namespace {
constexpr std::size_t NameBytes = 16;
constexpr std::size_t MiptexHeaderBytes = 40;
constexpr std::size_t PakHeaderBytes = 12;
constexpr std::size_t PakEntryBytes = 64;
constexpr std::size_t PakNameBytes = 56;
constexpr int BspLumpCount = 15;
constexpr int BspTextureLump = 2;
}  // namespace

Bytes MakeName16(std::string_view visible, std::string_view afterNul) {
    Bytes name(NameBytes, 0);
    std::size_t n = std::min(visible.size(), NameBytes);
    std::copy_n(visible.begin(), n, name.begin());
    std::size_t at = n + 1;
    for (char c : afterNul) {
        if (at >= NameBytes) break;
        name[at++] = static_cast<unsigned char>(c);
    }
    return name;
}

Bytes MakeMiptex(const Bytes& name16, int width, int height, std::uint32_t seed) {
    // A tiled pattern that differs per seed; the mip levels sample it.
    Bytes pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t tile = (static_cast<std::uint32_t>(x) / 8u + static_cast<std::uint32_t>(y) / 8u) & 1u;
            std::uint32_t v = seed * 2654435761u + tile * 37u + static_cast<std::uint32_t>(x ^ y);
            pixels.push_back(static_cast<unsigned char>(v & 0xFFu));
        }
    }
    return MakeMiptexFromPixels(name16, width, height, pixels);
}

Bytes MakeMiptex(std::string_view name, int width, int height, std::uint32_t seed) {
    return MakeMiptex(MakeName16(name), width, height, seed);
}

Bytes MakeTextureLump(const std::vector<std::optional<Bytes>>& slots, std::size_t padding) {
    std::vector<std::int32_t> offsets;
    Bytes body;
    std::size_t headerBytes = 4 + 4 * slots.size();
    for (const auto& slot : slots) {
        if (!slot) {
            offsets.push_back(-1);
            continue;
        }
        offsets.push_back(static_cast<std::int32_t>(headerBytes + body.size()));
        body.insert(body.end(), slot->begin(), slot->end());
        body.insert(body.end(), padding, 0xCD);
    }
    return MakeRawTextureLump(offsets, body);
}

Bytes MakeRawTextureLump(const std::vector<std::int32_t>& offsets, const Bytes& body) {
    Bytes lump;
    platform::AppendInt32LE(lump, static_cast<std::int32_t>(offsets.size()));
    for (std::int32_t offset : offsets) platform::AppendInt32LE(lump, offset);
    lump.insert(lump.end(), body.begin(), body.end());
    return lump;
}

Bytes MakeBsp(const Bytes& textureLump, std::int32_t version) {
    Bytes map;
    platform::AppendInt32LE(map, version);
    std::size_t headerBytes = 4 + 8 * BspLumpCount;
    const std::size_t fillerBytes = 8;
    std::size_t at = headerBytes;
    for (int lump = 0; lump < BspLumpCount; ++lump) {
        std::size_t length = lump == BspTextureLump ? textureLump.size() : fillerBytes;
        platform::AppendInt32LE(map, static_cast<std::int32_t>(at));
        platform::AppendInt32LE(map, static_cast<std::int32_t>(length));
        at += length;
    }
    for (int lump = 0; lump < BspLumpCount; ++lump) {
        if (lump == BspTextureLump) {
            map.insert(map.end(), textureLump.begin(), textureLump.end());
        } else {
            map.insert(map.end(), fillerBytes, static_cast<unsigned char>(lump));
        }
    }
    return map;
}

Bytes MakePak(const std::vector<PakMember>& members) {
    Bytes pak = {'P', 'A', 'C', 'K', 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<std::size_t> positions;
    for (const auto& member : members) {
        positions.push_back(pak.size());
        pak.insert(pak.end(), member.data.begin(), member.data.end());
    }
    std::size_t directory = pak.size();
    for (std::size_t i = 0; i < members.size(); ++i) {
        Bytes entry(PakEntryBytes, 0);
        const std::string& name = members[i].name;
        std::copy_n(name.begin(), std::min(name.size(), PakNameBytes - 1), entry.begin());
        platform::WriteInt32LE(entry.data() + PakNameBytes, static_cast<std::int32_t>(positions[i]));
        platform::WriteInt32LE(entry.data() + PakNameBytes + 4, static_cast<std::int32_t>(members[i].data.size()));
        pak.insert(pak.end(), entry.begin(), entry.end());
    }
    PatchInt32(pak, 4, static_cast<std::int32_t>(directory));
    PatchInt32(pak, 8, static_cast<std::int32_t>(members.size() * PakEntryBytes));
    static_assert(PakHeaderBytes == 12);
    return pak;
}

Bytes MakeMiptexFromPixels(const Bytes& name16, int width, int height, const Bytes& pixels) {
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        throw std::invalid_argument("MakeMiptexFromPixels: pixels do not match width x height");
    }
    Bytes record(name16.begin(), name16.begin() + static_cast<std::ptrdiff_t>(std::min(name16.size(), NameBytes)));
    record.resize(NameBytes, 0);
    platform::AppendInt32LE(record, width);
    platform::AppendInt32LE(record, height);
    auto offset = static_cast<std::int32_t>(MiptexHeaderBytes);
    for (int level = 0; level < 4; ++level) {
        platform::AppendInt32LE(record, offset);
        offset += (width >> level) * (height >> level);
    }
    for (int level = 0; level < 4; ++level) {
        for (int y = 0; y < (height >> level); ++y) {
            for (int x = 0; x < (width >> level); ++x) {
                auto at = static_cast<std::size_t>(y << level) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(x << level);
                record.push_back(pixels[at]);
            }
        }
    }
    return record;
}

Bytes MakeWad(const std::vector<WadMember>& members) {
    constexpr std::size_t WadEntryBytes = 32;
    Bytes wad = {'W', 'A', 'D', '2', 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<std::size_t> positions;
    for (const auto& member : members) {
        positions.push_back(wad.size());
        wad.insert(wad.end(), member.data.begin(), member.data.end());
    }
    std::size_t directory = wad.size();
    for (std::size_t i = 0; i < members.size(); ++i) {
        Bytes entry(WadEntryBytes, 0);
        auto size = static_cast<std::int32_t>(members[i].data.size());
        platform::WriteInt32LE(entry.data(), static_cast<std::int32_t>(positions[i]));
        platform::WriteInt32LE(entry.data() + 4, size);
        platform::WriteInt32LE(entry.data() + 8, size);
        entry[12] = members[i].type;
        std::copy_n(members[i].name16.begin(), std::min(members[i].name16.size(), NameBytes), entry.begin() + 16);
        wad.insert(wad.end(), entry.begin(), entry.end());
    }
    PatchInt32(wad, 4, static_cast<std::int32_t>(members.size()));
    PatchInt32(wad, 8, static_cast<std::int32_t>(directory));
    return wad;
}

Bytes MakeArchiveOfMaps(const std::vector<MapSlots>& maps) {
    std::vector<PakMember> members{{"default.cfg", Bytes(64, 'c')}};
    for (const auto& [name, slots] : maps) members.push_back({name, MakeBsp(MakeTextureLump(slots))});
    return MakePak(members);
}

void PatchInt32(Bytes& bytes, std::size_t offset, std::int32_t value) {
    if (offset + 4 > bytes.size()) throw std::out_of_range("PatchInt32 beyond the end of the bytes");
    platform::WriteInt32LE(bytes.data() + offset, value);
}

std::int32_t ReadInt32(const Bytes& bytes, std::size_t offset) {
    if (offset + 4 > bytes.size()) throw std::out_of_range("ReadInt32 beyond the end of the bytes");
    return platform::ReadInt32LE(bytes.data() + offset);
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace moxtrel::fixtures
