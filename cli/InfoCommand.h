#pragma once
// `moxtrel-cli info WAD`: the summary of a WAD2 package, as the WAD File Info
// box shows it, then one line per lump: name, size in bytes, type.

#include <string>

#include "cli/Command.h"
#include "formats/Wad.h"

namespace moxtrel::cli {

Command AddInfoCommand(CLI::App& app);

// One listing line: the name up to its NUL (other unprintable bytes as \xNN),
// padded to 16 columns, the size on disk, and the type as its letter (hex
// when it is not a printable character).
std::string LumpListingLine(const WadLump& lump);

}  // namespace moxtrel::cli
