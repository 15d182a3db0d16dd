#pragma once
// The PAK archive: its layout, and the reader of its directory (the name,
// position and length of each member, checked against what the archive really
// holds). Used by the harvest (to find the maps) and by anything else that
// looks a member up by name.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/File.h"

namespace moxtrel {

namespace PakLayout {
inline constexpr std::size_t HeaderBytes = 12;
inline constexpr std::size_t EntryBytes = 64;
inline constexpr std::size_t NameBytes = 56;
inline constexpr std::size_t PositionField = 56;
inline constexpr std::size_t LengthField = 60;
}  // namespace PakLayout

// One directory entry. The position and length are as the archive states
// them: the caller checks them against the archive before it reads there.
struct PakMember {
    std::string name;  // up to its NUL or 56 bytes
    std::int32_t position = 0;
    std::int32_t length = 0;
};

// Whether the archive begins with the magic "PACK".
bool HasPakMagic(platform::File& pak);

// The entries of the archive's directory, in directory order. A directory
// that reaches past the end of the archive yields the entries that are whole;
// a header cut short or a directory outside the archive yields none. Each
// such fault is told to `warn` in words fit for a warning line.
// Throws platform::FileError when the system fails a read or seek.
std::vector<PakMember> ReadPakDirectory(platform::File& pak, std::int64_t archiveLength,
                                        const std::function<void(const std::string&)>& warn);

}  // namespace moxtrel
