#pragma once
// The JSON documents of moxtrel-cli: the report of an extraction run and the
// directory of a package. Names from the files are written so that any byte
// survives: each byte 0x00-0xFF becomes the character of the same code point.
// Paths are written as they are when they are UTF-8, else byte by byte in the
// same way.

#include <string>

#include "extract/HarvestReport.h"
#include "formats/Wad.h"

namespace moxtrel::cli {

// The report of a completed run that wrote its package at `packagePath`.
std::string HarvestReportJson(const HarvestReport& report, const std::string& packagePath);

// The directory of a package; `sizes` gives each lump's width and height
// where its record holds them, in lump order.
struct LumpPictureSize {
    bool known = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
};
std::string WadDirectoryJson(const WadContents& wad, const std::vector<LumpPictureSize>& sizes);

}  // namespace moxtrel::cli
