// The file layer over Win32 handles. Names reach Windows through the wide
// calls (UTF-8 widened in one place), the share modes are Windows' own, and
// every failure is reported with the errno number the POSIX build gives for
// it, so the program's words for a failure are the same on both systems.

#include "platform/File.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <windows.h>

#include "platform/Paths.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/WinError.h"

// windows.h names these as macros for its own A/W pairs.
#undef GetCurrentDirectory
#undef SetCurrentDirectory

namespace moxtrel::platform {

namespace {

HANDLE Win(NativeHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

NativeHandle Native(HANDLE handle) {
    return reinterpret_cast<NativeHandle>(handle);
}

// The share flags of a FileMode, as the mode names say: denying others the
// writing still lets them read, denying them the reading still lets them write.
DWORD ShareFlags(unsigned modeFlags) {
    switch (modeFlags & FileMode::ShareMask) {
        case FileMode::ShareDenyWrite: return FILE_SHARE_READ;
        case FileMode::ShareDenyRead: return FILE_SHARE_WRITE;
        default: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}

DWORD AccessFlags(unsigned modeFlags) {
    if (modeFlags & FileMode::ReadWrite) return GENERIC_READ | GENERIC_WRITE;
    if (modeFlags & FileMode::Write) return GENERIC_WRITE;
    return GENERIC_READ;
}

DWORD Attributes(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str());
}

bool IsFolderAttributes(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Opens `path` with CreateFileW; on failure returns nullopt with the errno
// number in `osError` and in errno, where the callers look for it as on POSIX.
// A folder where a file was asked for is EISDIR, as the POSIX build reports
// it (Windows itself says only "access denied").
std::optional<HANDLE> CreateWide(const std::string& path, DWORD access, DWORD share, DWORD creation, DWORD flags,
                                 int& osError) {
    const std::optional<std::wstring> wide = Widen(path);
    if (!wide) {
        osError = errno = EILSEQ;
        return std::nullopt;
    }
    HANDLE handle = ::CreateFileW(wide->c_str(), access, share, nullptr, creation, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        osError = (error == ERROR_ACCESS_DENIED && IsFolderAttributes(Attributes(*wide))) ? EISDIR
                                                                                           : ErrnoFromWin32(error);
        errno = osError;
        return std::nullopt;
    }
    return handle;
}

bool QueryInformation(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
    return ::GetFileInformationByHandle(handle, &info) != 0;
}

// Six characters of [A-Za-z0-9], as mkstemp makes them.
std::string RandomSuffix() {
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static thread_local std::mt19937 generator{std::random_device{}() ^ ::GetCurrentProcessId() ^ ::GetTickCount()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof Letters - 2);
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += Letters[pick(generator)];
    return suffix;
}

// Creates a file of a new name `directory` + `prefix` + six random
// characters; `path` receives the name. Another file of the same name is
// passed over for a new name, as mkstemp does.
std::optional<HANDLE> CreateUnique(const std::string& directory, const std::string& prefix, DWORD share, DWORD flags,
                                   std::string& path, int& osError) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = directory + prefix + RandomSuffix();
        std::optional<HANDLE> handle =
            CreateWide(path, GENERIC_READ | GENERIC_WRITE, share, CREATE_NEW, flags, osError);
        if (handle || osError != EEXIST) return handle;
    }
    return std::nullopt;
}

}  // namespace

// The length of the root `path` starts with: "C:\" or "C:", "\\server\share\",
// or a single separator; 0 for a relative path.
std::size_t RootLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return (path.size() >= 3 && IsSeparator(path[2])) ? 3 : 2;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::size_t server = path.find_first_of("\\/", 2);
        std::size_t share = server == std::string::npos ? server : path.find_first_of("\\/", server + 1);
        return share == std::string::npos ? path.size() : share + 1;
    }
    return (!path.empty() && IsSeparator(path[0])) ? 1 : 0;
}

std::string ResolvePathIgnoringCase(const std::string& path) {
    // The file system ignores case itself; what is looked up here is the
    // spelling on disk, which the registered path keeps. The root and the
    // components that match nothing are kept as written.
    std::size_t position = RootLength(path);
    std::string resolved = path.substr(0, position);
    while (position < path.size()) {
        std::size_t end = path.find_first_of("\\/", position);
        if (end == std::string::npos) end = path.size();
        const std::string component = path.substr(position, end - position);
        std::string spelled = component;
        const std::optional<std::wstring> wide = Widen(resolved + component);
        if (wide && !component.empty() && component != "." && component != "..") {
            WIN32_FIND_DATAW found{};
            HANDLE search = ::FindFirstFileW(wide->c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                ::FindClose(search);
                spelled = Narrow(found.cFileName).value_or(component);
            }
        }
        resolved += spelled;
        if (end < path.size()) resolved += path[end];
        position = end + 1;
    }
    return resolved;
}

bool File::Open(const std::string& path, unsigned modeFlags) {
    Release();
    const bool create = (modeFlags & FileMode::Create) != 0;
    const std::string resolved = create ? path : ResolvePathIgnoringCase(path);
    std::optional<HANDLE> handle = CreateWide(resolved, AccessFlags(modeFlags), ShareFlags(modeFlags),
                                              create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                              m_lastOsError);
    if (!handle) return false;
    // The file is emptied only once the open, and so its share mode, is
    // granted: an open that another program's share mode refuses leaves it whole.
    if (create && !(modeFlags & FileMode::NoTruncate) && !::SetEndOfFile(*handle)) {
        m_lastOsError = errno = ErrnoFromWin32(::GetLastError());
        ::CloseHandle(*handle);
        return false;
    }
    return Adopt(Native(*handle), resolved);
}

bool File::OpenTemporary(const std::string& directory, const std::string& prefix) {
    Release();
    std::string path;
    std::optional<HANDLE> handle =
        CreateUnique(directory, prefix, FILE_SHARE_READ, FILE_ATTRIBUTE_NORMAL, path, m_lastOsError);
    if (!handle) return false;
    return Adopt(Native(*handle), path);
}

bool File::OpenUnnamed(const std::string&, const std::string&) {
    // A Windows file has a name from its creation to its deletion.
    Release();
    m_lastOsError = EOPNOTSUPP;
    return false;
}

bool File::OpenScratch(const std::string& directory, const std::string& prefix) {
    Release();
    // The system deletes the file when its last handle closes, also when the
    // program is ended; a name can stay in sight until then.
    std::string path;
    std::optional<HANDLE> handle = CreateUnique(directory, prefix, FILE_SHARE_DELETE,
                                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, path,
                                                m_lastOsError);
    if (!handle) return false;
    return Adopt(Native(*handle), path);
}

bool File::OpenRegularForReading(const std::string& path) {
    Release();
    // A reparse point (a symbolic link or junction) is opened as itself, not
    // followed, and then refused; so are folders, devices and pipes.
    std::optional<HANDLE> handle =
        CreateWide(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                   FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, m_lastOsError);
    if (!handle) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    int refusal = 0;
    if (::GetFileType(*handle) != FILE_TYPE_DISK) {
        refusal = ENODEV;
    } else if (!QueryInformation(*handle, info)) {
        refusal = ErrnoFromWin32(::GetLastError());
    } else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        refusal = ELOOP;
    } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        refusal = EISDIR;
    }
    if (refusal != 0) {
        ::CloseHandle(*handle);
        m_lastOsError = errno = refusal;
        return false;
    }
    return Adopt(Native(*handle), path);
}

bool File::OpenExactForReading(const std::string& path) {
    Release();
    // While another program moves a new version over the file, Windows
    // refuses opens of it for a moment, where POSIX shows the old or the new
    // file; the open is tried again for up to about a second.
    std::optional<HANDLE> handle;
    for (int attempt = 0; attempt < 100; ++attempt) {
        handle = CreateWide(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, m_lastOsError);
        if (handle || (m_lastOsError != EACCES && m_lastOsError != EWOULDBLOCK)) break;
        ::Sleep(10);
    }
    if (!handle) return false;
    return Adopt(Native(*handle), path);
}

bool File::OpenAndLockExclusively(const std::string& path) {
    Release();
    std::optional<HANDLE> handle =
        CreateWide(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, m_lastOsError);
    if (!handle) return false;
    // A lock on the file's first byte stands for the whole file; LockFileEx
    // without LOCKFILE_FAIL_IMMEDIATELY waits for it.
    OVERLAPPED whole{};
    if (!::LockFileEx(*handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole)) {
        m_lastOsError = errno = ErrnoFromWin32(::GetLastError());
        ::CloseHandle(*handle);
        return false;
    }
    return Adopt(Native(*handle), path);
}

bool File::IsRegularFile() const {
    BY_HANDLE_FILE_INFORMATION info{};
    return IsOpen() && ::GetFileType(Win(m_handle)) == FILE_TYPE_DISK && QueryInformation(Win(m_handle), info) &&
           !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::size_t File::Read(void* buffer, std::size_t count) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(Win(m_handle), bytes + done, wanted, &got, nullptr)) {
            if (::GetLastError() == ERROR_BROKEN_PIPE) break;
            Fail();
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

std::size_t File::ReadAt(std::int64_t position, void* buffer, std::size_t count) {
    if (position < 0) {
        ::SetLastError(ERROR_NEGATIVE_SEEK);
        Fail();
    }
    // A read at an offset moves a synchronous handle's position; it is put
    // back, so ReadAt leaves the position where it was, as pread does.
    const std::int64_t before = GetPosition();
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::uint64_t at = static_cast<std::uint64_t>(position) + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(Win(m_handle), bytes + done, wanted, &got, &where)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) break;
            Fail();
        }
        if (got == 0) break;
        done += got;
    }
    Seek(before);
    return done;
}

void File::Write(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(Win(m_handle), bytes + done, wanted, &put, nullptr)) Fail();
        if (put == 0) {
            ::SetLastError(ERROR_DISK_FULL);
            Fail();
        }
        done += put;
    }
}

std::int64_t File::Seek(std::int64_t position) {
    if (position < 0) {
        ::SetLastError(ERROR_NEGATIVE_SEEK);
        Fail();
    }
    LARGE_INTEGER distance{};
    distance.QuadPart = position;
    LARGE_INTEGER result{};
    if (!::SetFilePointerEx(Win(m_handle), distance, &result, FILE_BEGIN)) Fail();
    return result.QuadPart;
}

std::int64_t File::GetPosition() const {
    LARGE_INTEGER none{};
    LARGE_INTEGER result{};
    if (!::SetFilePointerEx(Win(m_handle), none, &result, FILE_CURRENT)) Fail();
    return result.QuadPart;
}

std::int64_t File::GetLength() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(Win(m_handle), &size)) Fail();
    return size.QuadPart;
}

void File::Flush() {
    if (!::FlushFileBuffers(Win(m_handle))) {
        // A handle that cannot be flushed (read-only, or not a disk file) has
        // nothing of its own waiting to be written.
        const DWORD error = ::GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_INVALID_FUNCTION && error != ERROR_INVALID_HANDLE) Fail();
    }
}

void File::Close() {
    if (!IsOpen()) return;
    HANDLE handle = Win(m_handle);
    m_handle = NoNativeHandle;
    if (!::CloseHandle(handle)) throw FileError(ErrnoFromWin32(::GetLastError()), m_path);
}

void File::Fail() const {
    errno = ErrnoFromWin32(::GetLastError());
    throw FileError(errno, m_path);
}

void File::Release() noexcept {
    if (IsOpen()) ::CloseHandle(Win(m_handle));
    m_handle = NoNativeHandle;
}

PathKind KindOf(const std::string& path) {
    const std::optional<std::wstring> wide = Widen(path);
    if (!wide) return PathKind::Missing;
    const DWORD attributes = Attributes(*wide);
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return PathKind::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Folder;
    return PathKind::File;
}

PathKind KindOfTarget(const std::string& path) {
    const PathKind kind = KindOf(path);
    if (kind != PathKind::Link) return kind;
    // What the link leads to, through a handle opened on it (which follows it).
    int osError = 0;
    std::optional<HANDLE> handle =
        CreateWide(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                   FILE_FLAG_BACKUP_SEMANTICS, osError);
    if (!handle) return PathKind::Missing;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = QueryInformation(*handle, info);
    ::CloseHandle(*handle);
    if (!known) return PathKind::Missing;
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

bool RemoveFile(const std::string& path) {
    const std::optional<std::wstring> wide = Widen(path);
    return wide && ::DeleteFileW(wide->c_str()) != 0;
}

std::string OsErrorText(int osError) {
    return ErrnoText(osError);
}

std::string GetCurrentDirectory() {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    std::wstring buffer(needed, L'\0');
    const DWORD written = ::GetCurrentDirectoryW(needed, buffer.data());
    if (written == 0 || written >= needed) return {};
    buffer.resize(written);
    const std::optional<std::string> narrow = Narrow(buffer);
    return narrow ? WithTrailingSlash(*narrow) : std::string();
}

bool SetCurrentDirectory(const std::string& path) {
    if (path.empty()) return false;
    const std::optional<std::wstring> wide = Widen(path);
    if (!wide) {
        errno = EILSEQ;
        return false;
    }
    if (::SetCurrentDirectoryW(wide->c_str()) != 0) return true;
    // The caller tells the user why, as on POSIX, where chdir sets errno.
    errno = ErrnoFromWin32(::GetLastError());
    return false;
}

}  // namespace moxtrel::platform
