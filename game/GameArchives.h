#pragma once
// The numbered archives of a game directory, found as the game itself loads
// them: pak0.pak, pak1.pak, pak2.pak, ... up to the first number that is
// missing. Mission packs and mods ship one or several; the whole game ships two.

#include <string>
#include <vector>

namespace moxtrel {

// The paths of `gameDir`'s archives pak0.pak, pak1.pak, ... in load order,
// stopping before the first number with no archive (with pak0, pak1 and pak3
// present, pak3 is not among them). Names match in any letter case, the number
// written in decimal without leading zeros; the spelling on disk is kept.
// `gameDir` may end with '/' or not. Only regular files count, and a symbolic
// link is never followed. Empty when there is no pak0.pak or the directory
// cannot be read.
std::vector<std::string> FindNumberedArchives(const std::string& gameDir);

// The number N of an entry named "pakN.pak" (any letter case, N decimal without
// leading zeros and below one million), or -1 for any other name.
int NumberedArchiveIndex(const std::string& name);

// The loose maps of a game directory: the entries of its "maps" folder (any
// letter case, an exact match first, else the first in byte order; never a
// symbolic link) whose names end in ".bsp" in any letter case, in the byte
// order of their names. Entries of every kind are listed: a folder, FIFO or
// link so named is the reader's to refuse with a warning.
struct LooseMaps {
    std::string folderName;  // as spelled on disk; empty when there is no maps folder
    std::string folderPath;  // gameDir + folderName + '/'
    std::vector<std::string> names;
};
LooseMaps FindLooseMaps(const std::string& gameDir);

}  // namespace moxtrel
