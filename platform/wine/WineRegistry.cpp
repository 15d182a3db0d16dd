#include "platform/wine/WineRegistry.h"

#include <cerrno>

#include "platform/LittleEndian.h"

namespace moxtrel::platform::wine {

namespace {

// A full key path ("HKEY_CURRENT_USER\Software\...") as the prefix's
// registry names it, below the current user.
std::string_view BelowCurrentUser(std::string_view keyPath) {
    keyPath.remove_prefix(std::min(keyPath.size(), CurrentUserKeyPath.size()));
    if (!keyPath.empty() && keyPath.front() == '\\') keyPath.remove_prefix(1);
    return keyPath;
}

// The registry's status for what the prefix answered. A key that is missing
// when a value is read or written went after it was opened.
RegistryStatus StatusOf(const WineResult& result, bool keyWasOpened) {
    switch (result.failure) {
        case WineFailure::None: return {};
        case WineFailure::KeyNotFound:
            return RegistryAnswer(keyWasOpened ? RegistryResult::KeyDeleted : RegistryResult::NotFound);
        case WineFailure::ValueNotFound: return RegistryAnswer(RegistryResult::NotFound);
        case WineFailure::NoRegistryFile: return StoreIoFailure(ENOENT);
        case WineFailure::RegistryDamaged:
            return RegistryStatus{RegistryResult::StoreCorrupt, RegistryFailure::StoreDamaged, 0,
                                  "user.reg line " + std::to_string(result.line) + ": " + result.detail};
        case WineFailure::ReadFailed:
        case WineFailure::WriteFailed:
            if (result.osError != 0) return StoreIoFailure(result.osError);
            break;
        case WineFailure::TextNotUnicode:
        case WineFailure::NoDrive:
        case WineFailure::WineNotInstalled:
        case WineFailure::WineTimedOut:
        case WineFailure::WineFailed: break;
    }
    return RegistryStatus{RegistryResult::StoreIoFailed, RegistryFailure::Unavailable, result.osError,
                          DescribeFailure(result)};
}

// A value as the prefix's registry takes it: text without its NUL, a number
// as a dword. Other types are not kept there by this program.
bool ToWineValue(std::string_view name, std::uint32_t type, const std::string& data, WineValue& value) {
    value.name = std::string(name);
    if (type == RegistryType::Text) {
        value.data = data.empty() || data.back() != '\0' ? data : data.substr(0, data.size() - 1);
        return true;
    }
    if (type == RegistryType::Number && data.size() == 4) {
        value.data = static_cast<std::uint32_t>(ReadInt32LE(reinterpret_cast<const unsigned char*>(data.data())));
        return true;
    }
    return false;
}

}  // namespace

RegistryStatus WineRegistry::PathForPrograms(const std::string& path, std::string& programPath) const {
    return StatusOf(m_prefix.DrivePath(path, programPath), false);
}

RegistryStatus WineRegistry::CheckKey(const std::string& keyPath) const {
    return StatusOf(m_prefix.CheckKey(BelowCurrentUser(keyPath)), false);
}

RegistryStatus WineRegistry::ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                                       std::string& data) const {
    return StatusOf(m_prefix.ReadValue(BelowCurrentUser(keyPath), name, type, data), true);
}

RegistryStatus WineRegistry::WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                                        const std::string& data) {
    WineValue value;
    if (!ToWineValue(name, type, data, value)) return RegistryAnswer(RegistryResult::InvalidParameter);
    return StatusOf(m_prefix.SetValues(BelowCurrentUser(keyPath), {value}), true);
}

}  // namespace moxtrel::platform::wine
