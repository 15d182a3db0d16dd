#pragma once
// The two steps of a file replacement that each system does its own way;
// for platform/FileReplacement.cpp only.

#include <string>

#include "platform/FileReplacement.h"

namespace moxtrel::platform::system {

// Gives the temporary file `output` the permissions the replacement asks for.
// False, with errno set, when the system refuses.
bool ApplyPermissions(File& output, const std::string& target, FileReplacement::Permissions permissions);

// Puts the finished file `temporary` in the place of `target`, durably.
// Returns 0, or the errno number of the failure (the target is then as it was).
int MoveOver(const std::string& temporary, const std::string& target);

}  // namespace moxtrel::platform::system
