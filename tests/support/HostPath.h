#pragma once
// Paths the build wrote into the tests (the source tree, the built programs).

#include <filesystem>

namespace moxtrel::test {

// `buildPath` as this process can open it. A cross build for Windows writes
// the paths of the Linux machine it ran on ("/work/..."); under Wine those
// are reached through the drive Wine maps the machine's root to, so they are
// turned into that drive's form ("Z:\work\..."). Any other path is returned
// as it is.
std::filesystem::path HostPath(const char* buildPath);

}  // namespace moxtrel::test
