#pragma once
// Windows only: the current user's own registry, for platform/Registry.cpp.
// Keys are named below HKEY_CURRENT_USER ("Software\..."; empty for the root)
// and results are Windows' own error codes, which are the registry results
// the program uses everywhere. No key is ever created here.

#include <cstdint>
#include <string>
#include <string_view>

namespace moxtrel::platform::system {

// Success when the key exists, NotFound when it does not.
std::int32_t CheckKey(const std::string& key);

// Reads value `name` of `key`. Text comes back as UTF-8 with its NUL; other
// types as their bytes. A key that has gone is KeyDeleted.
std::int32_t ReadValue(const std::string& key, std::string_view name, std::uint32_t& type, std::string& data);

// Sets value `name` of the existing `key`; text is given as UTF-8 with its
// NUL. A key that has gone is KeyDeleted and is not made again.
std::int32_t WriteValue(const std::string& key, std::string_view name, std::uint32_t type, const std::string& data);

}  // namespace moxtrel::platform::system
