#pragma once
// Windows only: the system's error codes in the program's one vocabulary,
// errno numbers, so that a refusal or a failure is worded the same way on
// both systems.

#include <string>

namespace moxtrel::platform {

// The errno number for a GetLastError() code; EIO for codes without one.
int ErrnoFromWin32(unsigned long error);

// The words for an errno number, including those the C library of Windows
// has no text for (ELOOP, EWOULDBLOCK).
std::string ErrnoText(int osError);

}  // namespace moxtrel::platform
