#pragma once
// The fuzzing entry points. Each takes one input the way the program meets
// such a file (a whole archive, a registry store's text, a drive map, a
// package to list), runs it through the same code the program uses, and
// checks what came out against what that code promises. They return an empty
// string when all held, else what broke: the libFuzzer drivers abort on it,
// and the regression tests replay kept inputs and report it.
//
// Crashes, leaks, hangs and oversized allocations are caught by the
// sanitizers and libFuzzer around these calls, not here.

#include <cstddef>
#include <cstdint>
#include <string>

namespace moxtrel::fuzz {

// The input is a PAK archive and, after it, a loose map of the same bytes (as
// a run over every source reads them): both are harvested into one table with
// a report of what was kept, met again and skipped, written as a package into
// memory, and the package read back and compared with the input.
std::string HarvestArchive(const std::uint8_t* data, std::size_t size);

// The input is a registry store's bytes (REGEDIT4 or a version-5 export, in
// UTF-8 or UTF-16): parsed, written back and parsed again; the second reading
// must hold what the first did, and a value set in a key must read back as set.
// The same bytes are read as a Wine prefix's user.reg too: written back byte
// for byte, and edited without changing any value it did not set.
std::string ParseRegistryText(const std::uint8_t* data, std::size_t size);

// The input is a drive map: every volume it yields has an absolute root
// ending in '/' and one of the known drive types.
std::string ParseDriveMapText(const std::uint8_t* data, std::size_t size);

// The input is a file handed to "moxtrel-cli info": reading it either fails
// with a format error or yields lumps that lie inside the file.
std::string ReadPackageFile(const std::uint8_t* data, std::size_t size);

// The input is a package given to "moxtrel-cli preview": its sheet is drawn;
// every lump is drawn, crossed out or left out with a warning, and every page
// decodes as a PNG of the sheet's width no taller than a page may be.
std::string DrawPackageSheet(const std::uint8_t* data, std::size_t size);

// The input is a picture given to "moxtrel-cli pack": it is read (or refused)
// within the size limit, and made into a plain and a fence texture, each a
// record of the right layout whose full-size level keeps every palette
// colour's number, gives no other colour a fullbright or see-through number,
// and is see-through exactly where the fence's alpha is below half.
std::string MakeTextureOfPicture(const std::uint8_t* data, std::size_t size);

// The input is a package or a map given to "moxtrel-cli export": every record
// found sound is read and written as PNG in memory, which decodes to the
// palette's colours of its numbers (see-through only for colour 255 of a
// fence), and its file name reads back to the texture's name.
std::string ExportTexturesAsPictures(const std::uint8_t* data, std::size_t size);

}  // namespace moxtrel::fuzz
