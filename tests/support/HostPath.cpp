#include "support/HostPath.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace moxtrel::test {

#ifdef _WIN32

std::filesystem::path HostPath(const char* buildPath) {
    if (buildPath[0] != '/') return buildPath;
    // Wine's own conversion from a path of its host to a DOS path; absent on
    // Windows itself, where the build's paths are Windows paths already.
    using ToDosName = WCHAR* (*)(LPCSTR);
    const auto toDosName = reinterpret_cast<ToDosName>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDosName) return buildPath;
    WCHAR* dosName = toDosName(buildPath);
    if (!dosName) return buildPath;
    std::filesystem::path path(dosName);
    ::HeapFree(::GetProcessHeap(), 0, dosName);
    return path;
}

#else

std::filesystem::path HostPath(const char* buildPath) { return buildPath; }

#endif

}  // namespace moxtrel::test
