#include "extract/RegistryKey.h"

#include <algorithm>
#include <utility>

#include "platform/LittleEndian.h"

namespace moxtrel {

CRegistryKey::CRegistryKey(platform::Registry& registry, platform::RegistryHandle hKey)
    : m_hKey(hKey), m_registry(registry) {}

CRegistryKey::~CRegistryKey() {
    Close();
}

bool CRegistryKey::Remember(platform::RegistryStatus status) {
    m_lResult = status.result;
    m_lastStatus = std::move(status);
    return m_lastStatus.Ok();
}

bool CRegistryKey::Open(platform::RegistryHandle hParent, const std::string& strPath) {
    m_strPath = strPath;
    m_dwType = 0;
    m_dwSize = 0;
    return Remember(m_registry.OpenKey(hParent, strPath, m_hKey));
}

void CRegistryKey::Close() {
    if (m_hKey != 0) {
        m_registry.CloseKey(m_hKey);
        m_hKey = 0;
    }
}

bool CRegistryKey::SetValue(const std::string& strName, std::uint32_t dwValue) {
    unsigned char bytes[4];
    platform::WriteInt32LE(bytes, static_cast<std::int32_t>(dwValue));
    m_dwType = platform::RegistryType::Number;
    m_dwSize = sizeof bytes;
    return Remember(m_registry.SetValue(m_hKey, strName, m_dwType, bytes, m_dwSize));
}

bool CRegistryKey::SetValue(const std::string& strName, const std::string& strValue) {
    m_dwType = platform::RegistryType::Text;
    m_dwSize = static_cast<std::uint32_t>(strValue.size() + 1);
    return Remember(m_registry.SetValue(m_hKey, strName, m_dwType, strValue.c_str(), m_dwSize));
}

bool CRegistryKey::QueryValue(const std::string& strName, std::string& strValue) {
    char buffer[QueryLimit];
    m_dwSize = sizeof buffer;
    if (!Remember(m_registry.QueryValue(m_hKey, strName, m_dwType, buffer, m_dwSize))) return false;
    // Data without a NUL (a number, binary data) ends at its size, never beyond.
    strValue.assign(buffer, std::find(buffer, buffer + m_dwSize, '\0'));
    return true;
}

}  // namespace moxtrel
