#pragma once
// The program's paths are UTF-8 text; std::filesystem::path keeps the system's
// own form (UTF-16 on Windows). These two cross between them without the ANSI
// code page, so names that are not ASCII survive on both systems.

#include <filesystem>
#include <string>

#ifdef _WIN32
#include "platform/win32/Unicode.h"
#endif

namespace moxtrel::platform {

inline std::filesystem::path ToFsPath(const std::string& utf8) {
#ifdef _WIN32
    return std::filesystem::path(Widen(utf8).value_or(std::wstring()));
#else
    return std::filesystem::path(utf8);
#endif
}

inline std::string FromFsPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return Narrow(path.native()).value_or(std::string());
#else
    return path.native();
#endif
}

}  // namespace moxtrel::platform
