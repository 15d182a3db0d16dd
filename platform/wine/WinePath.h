#pragma once
// Where a file is for the programs of a Wine prefix: the drive of the
// prefix's dosdevices folder whose target holds the longest leading part of
// the path, and the rest of the path below it, as Wine itself turns a path of
// this system into a drive path ("Z:\home\me\quake\id1\Quake.wad", what
// winepath -w gives).

#include <string>

#include "platform/wine/WineResult.h"

namespace moxtrel::platform::wine {

// Turns the absolute `path` into `drivePath` as programs in `prefix` see it.
// Folders are matched by identity (device and inode), following links, as
// Wine does, so a path through a link to a drive's folder is on that drive;
// of two drives on one folder the first letter wins. NoDrive when no drive
// of the prefix holds any leading part of the path, or it is not absolute.
WineResult DrivePathInPrefix(const std::string& prefix, const std::string& path, std::string& drivePath);

}  // namespace moxtrel::platform::wine
