#include "formats/Wad.h"

#include <algorithm>

#include "platform/File.h"
#include "platform/LittleEndian.h"

namespace moxtrel {

namespace {

using Bytes = std::vector<unsigned char>;

constexpr unsigned char Wad2Magic[4] = {'W', 'A', 'D', '2'};

namespace DirEntryField {
constexpr std::size_t Position = 0;
constexpr std::size_t DiskSize = 4;
constexpr std::size_t Size = 8;
constexpr std::size_t Type = 12;
constexpr std::size_t Compression = 13;
constexpr std::size_t Name = 16;
}  // namespace DirEntryField

[[noreturn]] void Malformed(const std::string& fileName, std::int64_t at, const std::string& what) {
    throw WadFormatError(fileName + ": not a valid WAD2 package: at byte " + std::to_string(at) + ": " + what);
}

Bytes ReadExactly(platform::File& file, std::int64_t position, std::size_t count) {
    Bytes bytes(count);
    file.Seek(position);
    if (file.Read(bytes.data(), count) != count) {
        Malformed(file.GetFileName(), position, "the file ends before " + std::to_string(count) + " bytes");
    }
    return bytes;
}

WadLump DecodeLump(const unsigned char* entry) {
    WadLump lump;
    lump.position = platform::ReadInt32LE(entry + DirEntryField::Position);
    lump.diskSize = platform::ReadInt32LE(entry + DirEntryField::DiskSize);
    lump.size = platform::ReadInt32LE(entry + DirEntryField::Size);
    lump.type = entry[DirEntryField::Type];
    lump.compression = entry[DirEntryField::Compression];
    std::copy_n(entry + DirEntryField::Name, lump.name.size(), lump.name.begin());
    return lump;
}

// A lump's data must lie wholly inside the file.
void CheckLumpFits(const WadContents& wad, const WadLump& lump, std::size_t index, std::int64_t entryAt) {
    std::string which = "directory entry " + std::to_string(index) + " (\"" + DisplayName(lump.name) + "\")";
    if (lump.position < 0 || lump.diskSize < 0) {
        Malformed(wad.fileName, entryAt, which + " has a negative position or size");
    }
    if (lump.position > wad.length || lump.diskSize > wad.length - lump.position) {
        Malformed(wad.fileName, entryAt,
                  which + " places " + std::to_string(lump.diskSize) + " bytes at " + std::to_string(lump.position) +
                      ", beyond the end of the file (" + std::to_string(wad.length) + " bytes)");
    }
}

}  // namespace

WadContents ReadWad(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::FileMode::ArchiveRead)) throw platform::FileError(file.LastOsError(), path);

    WadContents wad;
    wad.fileName = file.GetFileName();
    wad.length = file.GetLength();
    if (wad.length < static_cast<std::int64_t>(WadLayout::HeaderBytes)) {
        Malformed(wad.fileName, 0, "the file is shorter than a header (" + std::to_string(wad.length) + " bytes)");
    }

    Bytes header = ReadExactly(file, 0, WadLayout::HeaderBytes);
    if (!std::equal(std::begin(Wad2Magic), std::end(Wad2Magic), header.begin())) {
        Malformed(wad.fileName, 0, "the file does not begin with \"WAD2\"");
    }
    std::int32_t count = platform::ReadInt32LE(header.data() + 4);
    wad.directoryPosition = platform::ReadInt32LE(header.data() + WadLayout::DirectoryPositionField);
    if (count < 0) Malformed(wad.fileName, 4, "negative number of lumps (" + std::to_string(count) + ")");
    if (wad.directoryPosition < 0 || wad.directoryPosition > wad.length) {
        Malformed(wad.fileName, static_cast<std::int64_t>(WadLayout::DirectoryPositionField),
                  "directory position " + std::to_string(wad.directoryPosition) + " lies outside the file (" +
                      std::to_string(wad.length) + " bytes)");
    }
    // The count is checked against the bytes that are there before anything
    // is allocated for it.
    auto entryBytes = static_cast<std::int64_t>(WadLayout::DirEntryBytes);
    std::int64_t room = (wad.length - wad.directoryPosition) / entryBytes;
    if (count > room) {
        Malformed(wad.fileName, 4,
                  std::to_string(count) + " lumps do not fit in the " +
                      std::to_string(wad.length - wad.directoryPosition) + " bytes after the directory position " +
                      std::to_string(wad.directoryPosition));
    }

    auto entries = static_cast<std::size_t>(count);
    Bytes directory = ReadExactly(file, wad.directoryPosition, entries * WadLayout::DirEntryBytes);
    wad.lumps.reserve(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const unsigned char* entry = directory.data() + i * WadLayout::DirEntryBytes;
        WadLump lump = DecodeLump(entry);
        CheckLumpFits(wad, lump, i, wad.directoryPosition + static_cast<std::int64_t>(i) * entryBytes);
        wad.lumps.push_back(lump);
    }
    return wad;
}

WadTextureCounts CountWadTextures(const WadContents& wad) {
    WadTextureCounts counts;
    for (const WadLump& lump : wad.lumps) {
        if (IsAnimatedTexture(lump.name)) {
            ++counts.animated;
        } else {
            ++counts.simple;
        }
    }
    return counts;
}

}  // namespace moxtrel
