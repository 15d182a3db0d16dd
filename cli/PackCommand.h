#pragma once
// `moxtrel-cli pack PICTURES... -o PACKAGE --palette SOURCE`: PNG pictures,
// or folders of them, made into one WAD2 package.

#include "cli/Command.h"

namespace moxtrel::cli {

Command AddPackCommand(CLI::App& app);

}  // namespace moxtrel::cli
