#pragma once
// A registry key the program works on, remembering the result, type and size
// of its last call so that callers can look past the true/false they get, and
// the registry's whole status of that call for telling the user why it failed.
// The key handle given to the constructor is used until Open replaces it;
// the destructor closes whatever handle the object holds.

#include <cstdint>
#include <string>

#include "platform/Registry.h"

namespace moxtrel {

class CRegistryKey {
public:
    // Texts read by QueryValue are cut at this many bytes of data.
    static constexpr std::uint32_t QueryLimit = 200;

    // Works in `registry`, which must outlive the object.
    CRegistryKey(platform::Registry& registry, platform::RegistryHandle hKey);
    virtual ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Opens `strPath` below `hParent` (never creating it); the new handle, or
    // 0 on failure, replaces m_hKey. A handle held before is not closed: it
    // may be the constructor's, which the caller owns.
    bool Open(platform::RegistryHandle hParent, const std::string& strPath);
    // Closes m_hKey when the object holds one.
    void Close();
    // Sets a 32-bit number.
    bool SetValue(const std::string& strName, std::uint32_t dwValue);
    // Sets text, stored with its terminating NUL.
    bool SetValue(const std::string& strName, const std::string& strValue);
    // Reads text: the data up to its first NUL. A missing value, or one of
    // more than QueryLimit bytes, leaves `strValue` as it was and gives false.
    bool QueryValue(const std::string& strName, std::string& strValue);

    // The registry's status of the last call: its result (m_lResult) and,
    // for a store that failed, what failed and why.
    const platform::RegistryStatus& LastStatus() const { return m_lastStatus; }

    std::int32_t m_lResult = 0;   // result of the last registry call (0 = success)
    std::uint32_t m_dwType = 0;   // type of the last value set or read; 0 after Open
    std::uint32_t m_dwSize = 0;   // data size of the last value set or read; 0 after Open
    platform::RegistryHandle m_hKey = 0;
    std::string m_strPath;        // the sub-key path last given to Open

private:
    // Keeps `status` as the last call's and returns whether it succeeded.
    bool Remember(platform::RegistryStatus status);

    platform::Registry& m_registry;
    platform::RegistryStatus m_lastStatus;
};

}  // namespace moxtrel
