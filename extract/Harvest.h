#pragma once
// Reads a PAK archive's directory, picks out its BSP maps and records the
// textures of each map's texture lump in the table. Reads no pixel data: the
// package writer copies each record later from the archive.

#include "extract/TextureTable.h"
#include "platform/File.h"
#include "platform/Sinks.h"

namespace moxtrel {

// Whether the text after the first '.' of `name` is exactly `ending`, compared
// byte for byte with letter case ("maps/e1m1.bsp" is a map, "E1M1.BSP" and
// "maps.v2/e1m1.bsp" are not). `name` is read up to its NUL or 56 bytes.
bool IsBspEntry(const char* name, const char* ending);

// Harvests every map of `pak` into `table`. Returns false, after showing
// "Invalid Pak file." with caption "File IO Error", when the archive does not
// begin with "PACK"; the table is then untouched. Maps and textures whose
// data does not fit in the archive are skipped and reported to `warnings`.
// Throws platform::FileError when the system fails a read or seek.
bool HarvestPakTextures(platform::File& pak, TextureTable& table, MessageSink& messages, WarningSink& warnings);

// Harvests a loose map: a map file of its own, which begins at position 0, with
// the same checks as a map inside an archive. Warnings name it as `folder`
// (the maps folder as spelled on disk) and the file's own name.
// Throws platform::FileError when the system fails a read or seek.
void HarvestLooseMap(platform::File& map, TextureTable& table, WarningSink& warnings, const std::string& folder);

}  // namespace moxtrel
