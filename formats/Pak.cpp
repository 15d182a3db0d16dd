#include "formats/Pak.h"

#include <cstring>

#include "platform/LittleEndian.h"

namespace moxtrel {

namespace {

std::string MemberName(const unsigned char* entry) {
    const char* text = reinterpret_cast<const char*>(entry);
    return std::string(text, ::strnlen(text, PakLayout::NameBytes));
}

}  // namespace

bool HasPakMagic(platform::File& pak) {
    unsigned char magic[4] = {};
    return ReadExactlyAt(pak, 0, magic, sizeof magic) && std::memcmp(magic, "PACK", 4) == 0;
}

std::vector<PakMember> ReadPakDirectory(platform::File& pak, std::int64_t archiveLength,
                                        const std::function<void(const std::string&)>& warn) {
    unsigned char header[8];
    if (!ReadExactlyAt(pak, 4, header, sizeof header)) {
        warn("the archive header is cut short");
        return {};
    }
    std::int64_t directoryPosition = platform::ReadInt32LE(header);
    std::int64_t directoryLength = platform::ReadInt32LE(header + 4);
    if (directoryLength < 0 || directoryPosition < 0 || directoryPosition > archiveLength) {
        warn("the directory (at " + std::to_string(directoryPosition) + ", " + std::to_string(directoryLength) +
             " bytes) lies outside the archive");
        return {};
    }
    std::int64_t entryCount = directoryLength / static_cast<std::int64_t>(PakLayout::EntryBytes);
    std::int64_t entriesPresent = (archiveLength - directoryPosition) / static_cast<std::int64_t>(PakLayout::EntryBytes);
    if (entryCount > entriesPresent) {
        warn("the directory lists " + std::to_string(entryCount) + " entries but only " +
             std::to_string(entriesPresent) + " are in the archive");
        entryCount = entriesPresent;
    }

    std::vector<unsigned char> directory(static_cast<std::size_t>(entryCount) * PakLayout::EntryBytes);
    if (!directory.empty() && !ReadExactlyAt(pak, directoryPosition, directory.data(), directory.size())) {
        warn("the directory could not be read whole");
        return {};
    }

    std::vector<PakMember> members;
    members.reserve(static_cast<std::size_t>(entryCount));
    for (std::size_t i = 0; i < static_cast<std::size_t>(entryCount); ++i) {
        const unsigned char* entry = directory.data() + i * PakLayout::EntryBytes;
        members.push_back({MemberName(entry), platform::ReadInt32LE(entry + PakLayout::PositionField),
                           platform::ReadInt32LE(entry + PakLayout::LengthField)});
    }
    return members;
}

}  // namespace moxtrel
