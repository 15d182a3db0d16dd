#pragma once
// Explicit little-endian decoding and encoding of the 32-bit integers that the
// archive, map and package formats store. Callers check that the bytes exist.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace moxtrel::platform {

inline std::int32_t ReadInt32LE(const unsigned char* bytes) {
    std::uint32_t value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                          (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(value);
}

inline void WriteInt32LE(unsigned char* bytes, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    bytes[0] = static_cast<unsigned char>(bits & 0xFFu);
    bytes[1] = static_cast<unsigned char>((bits >> 8) & 0xFFu);
    bytes[2] = static_cast<unsigned char>((bits >> 16) & 0xFFu);
    bytes[3] = static_cast<unsigned char>((bits >> 24) & 0xFFu);
}

inline void AppendInt32LE(std::vector<unsigned char>& out, std::int32_t value) {
    unsigned char bytes[4];
    WriteInt32LE(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

}  // namespace moxtrel::platform
