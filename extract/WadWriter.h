#pragma once
// Writes the harvested textures as a WAD2 package: the header, every miptex
// record copied unchanged from its archive, then the directory.

#include <cstdint>

#include "extract/TextureTable.h"
#include "formats/Wad.h"
#include "platform/Sinks.h"

namespace moxtrel {

inline constexpr const char* ExtractingStatus = "Extracting textures. Please wait...";
inline constexpr const char* WritingDirectoryStatus = "Writing directory table. Please wait...";

// Writes the header (directory position 0 for now) and the lumps, replacing
// each entry's position with its lump's place in the package. Sets the
// progress range to 3 x count and steps it once per entry in two passes.
// Returns the package position after the last lump. Throws platform::FileError.
std::int32_t WriteWadLumps(platform::File& wad, TextureTable& table, ProgressSink& progress, StatusSink& status);

// Appends the directory at `directoryPosition` and patches the header with it;
// steps the progress once per entry. Throws platform::FileError.
void WriteWadDirectory(platform::File& wad, const TextureTable& table, std::int32_t directoryPosition,
                       ProgressSink& progress, StatusSink& status);

// Adds each entry to the animated or simple count, then empties the table.
void CountAndFreeTextures(TextureTable& table, int& animated, int& simple);

}  // namespace moxtrel
