#pragma once
// The BSP map: where its header says the texture lump lies. The lump itself
// is a count, a list of that many record offsets from the lump's start (-1
// for an empty slot), and the miptex records they point at (formats/Miptex.h).

#include <cstddef>
#include <cstdint>

namespace moxtrel {

namespace BspLayout {
// Lump 2 (the texture lump): its position and length follow the 4-byte
// version and lumps 0 and 1.
inline constexpr std::size_t TextureLumpField = 20;
inline constexpr std::size_t TextureLumpFieldBytes = 8;
// An offset of the lump's list that points at no record.
inline constexpr std::int32_t EmptySlot = -1;
}  // namespace BspLayout

}  // namespace moxtrel
