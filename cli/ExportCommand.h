#pragma once
// `moxtrel-cli export SOURCE -o FOLDER [--palette SOURCE]`: each texture of a
// package or a map as FOLDER/NAME.png in the palette's colours.

#include "cli/Command.h"

namespace moxtrel::cli {

Command AddExportCommand(CLI::App& app);

}  // namespace moxtrel::cli
