#pragma once
// What makes a game directory: the data sub-directory of the game kind below
// the installation folder, holding both archives. The Locate dialog, the
// Search dialog and moxtrel-cli compose and test candidates with these.

#include <string>

#include "game/Games.h"

namespace moxtrel::locate {

// "id1/" for Quake, "data1/" for Hexen II.
std::string DataDirectoryFor(GameKind game);

// "quake.exe" for Quake, "hexen2.exe" for Hexen II.
std::string ExecutableFor(GameKind game);

// The installation folder, a '/' unless it ends with one, then the data
// sub-directory of `game`: "/games/Quake" gives "/games/Quake/id1/", the
// drive root "/" gives "/id1/".
std::string ComposeGameDirectory(const std::string& folder, GameKind game);

enum class CandidateResult {
    NotEnterable,     // the directory cannot be made current
    ArchivesMissing,  // it is current now, but PAK0.PAK or PAK1.PAK is not there
    Found,            // it is current now and holds both archives
};

// Makes `gameDir` the process's current directory and looks there for
// PAK0.PAK and PAK1.PAK. Every name is matched without regard to case, an
// exact match first, and any kind of entry counts as found. When the
// directory can be entered, `gameDir` is rewritten with the spelling found on
// disk (".../Quake/ID1/" stays so), still ending with '/'.
CandidateResult TestGameDirectory(std::string& gameDir);

}  // namespace moxtrel::locate
