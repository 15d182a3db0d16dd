#pragma once
// The steps of a file replacement that each system does its own way;
// for platform/FileReplacement.cpp only.

#include <string>

#include "platform/FileReplacement.h"

namespace moxtrel::platform::system {

// 0 when `target` may be replaced; EACCES when it is a file that nobody may
// write (no write permission bit on POSIX, the read-only attribute on
// Windows). A folder is left to the move, which refuses it.
int CheckReplaceable(const std::string& target);

// Creates the temporary file of a replacement of `target` in its folder,
// open as `output`, with the target's permissions (and owner and group,
// where it may) or, when there is no target, those `access` asks for.
// Returns 0, or the errno number of the failure; nothing is left then.
int CreateTemporary(const std::string& target, const std::string& prefix, FileReplacement::NewFileAccess access,
                    File& output, ReplacementTemporary& temporary);

// Puts the finished content in the place of `target`, durably, closing
// `output` if it is still open. Returns 0, or the errno number of the
// failure (the target is then as it was, and the temporary file still to
// remove).
int MoveOver(File& output, ReplacementTemporary& temporary, const std::string& target);

// Closes `output` and removes the temporary file.
void RemoveTemporary(File& output, ReplacementTemporary& temporary) noexcept;

}  // namespace moxtrel::platform::system
