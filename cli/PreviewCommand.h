#pragma once
// `moxtrel-cli preview WAD -o SHEET.png [--palette SOURCE] [--width PIXELS]
// [--cell PIXELS]`: a contact sheet of a package's textures as PNG pages.
// The palette comes from SOURCE (a game directory or a 768-byte palette
// file), by default from the folder that holds WAD taken as a game directory.

#include <string>

#include "cli/Command.h"

namespace moxtrel::cli {

Command AddPreviewCommand(CLI::App& app);

// The file of page `number` (from 1) of a sheet written to `output`: the
// output itself for the first page, then NAME-2.png, NAME-3.png, ...
std::string SheetPagePath(const std::string& output, int number);

}  // namespace moxtrel::cli
