#include "platform/win32/SystemRegistry.h"

#include <cstring>
#include <windows.h>

#include "platform/win32/Unicode.h"

namespace moxtrel::platform {

namespace {

// Text values go through the wide calls, so a package path that is not ASCII
// is stored whole whatever the ANSI code page is.
bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The path below the current user's root: "Software\..." of
// "HKEY_CURRENT_USER\Software\...", empty for the root itself.
std::string BelowRoot(const std::string& keyPath) {
    return keyPath == CurrentUserKeyPath ? std::string() : keyPath.substr(CurrentUserKeyPath.size() + 1);
}

// An open key below the current user, closed when it goes.
class OpenedKey {
public:
    OpenedKey(const std::string& key, REGSAM access) {
        const std::optional<std::wstring> wide = Widen(key);
        m_result = wide ? ::RegOpenKeyExW(HKEY_CURRENT_USER, wide->c_str(), 0, access, &m_key)
                        : RegistryResult::InvalidParameter;
    }
    ~OpenedKey() {
        if (m_result == ERROR_SUCCESS) ::RegCloseKey(m_key);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    std::int32_t Result() const { return m_result; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
    LONG m_result = ERROR_SUCCESS;
};

// A key that was open before and is missing now has been deleted.
std::int32_t GoneIfMissing(std::int32_t result) {
    return result == ERROR_FILE_NOT_FOUND ? RegistryResult::KeyDeleted : result;
}

// The UTF-8 text, with one NUL, of a wide string value's bytes.
bool TextFromWide(const std::string& bytes, std::string& text) {
    std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
    while (!wide.empty() && wide.back() == L'\0') wide.pop_back();
    const std::optional<std::string> narrow = Narrow(wide);
    if (!narrow) return false;
    text = *narrow + '\0';
    return true;
}

// Reads value `name` of `key` (below the current user). A key that has gone
// is KeyDeleted.
std::int32_t ReadKeyValue(const std::string& key, std::string_view name, std::uint32_t& type, std::string& data) {
    OpenedKey opened(key, KEY_QUERY_VALUE);
    if (opened.Result() != ERROR_SUCCESS) return GoneIfMissing(opened.Result());
    const std::optional<std::wstring> wideName = Widen(name);
    if (!wideName) return RegistryResult::InvalidParameter;
    // The value can grow between the two calls: ask again while it does not fit.
    DWORD valueType = REG_NONE;
    DWORD size = 0;
    std::string bytes;
    LONG result = ERROR_MORE_DATA;
    while (result == ERROR_MORE_DATA) {
        result = ::RegQueryValueExW(opened.Get(), wideName->c_str(), nullptr, &valueType, nullptr, &size);
        if (result != ERROR_SUCCESS) return result;
        bytes.assign(size, '\0');
        result = ::RegQueryValueExW(opened.Get(), wideName->c_str(), nullptr, &valueType,
                                    reinterpret_cast<BYTE*>(bytes.data()), &size);
    }
    if (result != ERROR_SUCCESS) return result;
    bytes.resize(size);
    type = valueType;
    if (!IsTextType(valueType)) {
        data = std::move(bytes);
        return RegistryResult::Success;
    }
    return TextFromWide(bytes, data) ? RegistryResult::Success : RegistryResult::StoreCorrupt;
}

// Sets value `name` of the existing `key` (below the current user). A key
// that has gone is KeyDeleted and is not made again.
std::int32_t WriteKeyValue(const std::string& key, std::string_view name, std::uint32_t type,
                           const std::string& data) {
    OpenedKey opened(key, KEY_SET_VALUE);
    if (opened.Result() != ERROR_SUCCESS) return GoneIfMissing(opened.Result());
    const std::optional<std::wstring> wideName = Widen(name);
    if (!wideName) return RegistryResult::InvalidParameter;
    if (!IsTextType(type)) {
        return ::RegSetValueExW(opened.Get(), wideName->c_str(), 0, type,
                                reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    }
    // Text arrives with its NUL; the wide form is stored with one of its own.
    const std::string_view text = std::string_view(data).substr(0, data.find('\0'));
    const std::optional<std::wstring> wide = Widen(text);
    if (!wide) return RegistryResult::InvalidParameter;
    return ::RegSetValueExW(opened.Get(), wideName->c_str(), 0, type, reinterpret_cast<const BYTE*>(wide->c_str()),
                            static_cast<DWORD>((wide->size() + 1) * sizeof(wchar_t)));
}

}  // namespace

RegistryStatus SystemRegistry::CheckKey(const std::string& keyPath) const {
    return RegistryAnswer(OpenedKey(BelowRoot(keyPath), KEY_QUERY_VALUE).Result());
}

RegistryStatus SystemRegistry::ReadValue(const std::string& keyPath, std::string_view name, std::uint32_t& type,
                                         std::string& data) const {
    return RegistryAnswer(ReadKeyValue(BelowRoot(keyPath), name, type, data));
}

RegistryStatus SystemRegistry::WriteValue(const std::string& keyPath, std::string_view name, std::uint32_t type,
                                          const std::string& data) {
    return RegistryAnswer(WriteKeyValue(BelowRoot(keyPath), name, type, data));
}

}  // namespace moxtrel::platform
