#pragma once
// The file layer: a thin owner of one open file of the system (a descriptor, or
// a handle on Windows) with the open modes of the program's archives and packages. A failed read, write or seek throws
// FileError with the operating system's text and the file's name; a read that
// stops short at the end of a file is not an error and returns what it got.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// windows.h names these as macros for its own A/W pairs; a file that includes
// it before this one (wx does) must still see the names declared here.
#ifdef _WIN32
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#endif

namespace moxtrel::platform {

// The system's own handle of an open file: a POSIX descriptor, or a Windows
// HANDLE. Both systems call an invalid one -1.
using NativeHandle = std::intptr_t;
inline constexpr NativeHandle NoNativeHandle = -1;

// Open-mode flags. Combined, they give the two modes the program opens files
// with: 0x2020 for archives and 0x1031 for packages.
namespace FileMode {
inline constexpr unsigned Read = 0x0000;
inline constexpr unsigned Write = 0x0001;
inline constexpr unsigned ReadWrite = 0x0002;
inline constexpr unsigned ShareDenyWrite = 0x0020;
inline constexpr unsigned ShareDenyRead = 0x0030;
inline constexpr unsigned ShareDenyNone = 0x0040;
inline constexpr unsigned ShareMask = 0x0070;
inline constexpr unsigned Create = 0x1000;
inline constexpr unsigned NoTruncate = 0x2000;

inline constexpr unsigned ArchiveRead = Read | ShareDenyWrite | NoTruncate;  // 0x2020
inline constexpr unsigned PackageWrite = Create | Write | ShareDenyRead;     // 0x1031
}  // namespace FileMode

class FileError : public std::runtime_error {
public:
    FileError(int osError, std::string fileName);
    // An error the system did not report itself, described in its own words.
    FileError(int osError, std::string fileName, std::string description);

    int OsError() const { return m_osError; }
    const std::string& FileName() const { return m_fileName; }
    // The operating system's own words for the error, e.g. "No space left on device".
    std::string OsErrorText() const;

private:
    int m_osError;
    std::string m_fileName;
    std::string m_description;
};

class File {
public:
    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // Opens `path` with FileMode flags. A name that does not exist exactly is
    // looked up without regard to case, component by component (PAK0.PAK opens
    // pak0.pak; an exact match wins). The share mode is held as an advisory
    // lock for as long as the file is open: ShareDenyWrite shared,
    // ShareDenyRead exclusive; an open that a lock held elsewhere refuses
    // fails with EWOULDBLOCK. Returns false (errno kept in LastOsError)
    // when the file cannot be opened; never throws.
    bool Open(const std::string& path, unsigned modeFlags);
    // Creates a new file of a unique name in `directory` ('/'-terminated or
    // empty for the current one), named `prefix` followed by six random
    // characters, open for writing with the permissions a newly created file
    // gets. Returns false (errno kept in LastOsError) when that fails.
    bool OpenTemporary(const std::string& directory, const std::string& prefix);
    // Creates a file with no name in `directory`, open for reading and
    // writing and readable by its owner only; the platform layer can give it
    // a name later, and otherwise it goes with its handle. GetFilePath is
    // the name it would get: `prefix` followed by six random characters.
    // Fails with EOPNOTSUPP where the system or the file system cannot hold
    // such a file (Linux can, on most of its file systems), and otherwise
    // as OpenTemporary does.
    bool OpenUnnamed(const std::string& directory, const std::string& prefix);
    // Like OpenTemporary, for a scratch file read back by this process only:
    // it goes from the disk when it is closed, whatever ends the program
    // (on POSIX it has no name from the start, or loses it at once).
    bool OpenScratch(const std::string& directory, const std::string& prefix);
    // Opens the regular file at exactly `path` for reading: a symbolic link is
    // not followed (ELOOP), and a folder (EISDIR), FIFO or device (ENODEV) is
    // refused without waiting on it. Returns false (errno kept in
    // LastOsError) when that fails; never throws.
    bool OpenRegularForReading(const std::string& path);
    // Opens `path` exactly as written (no lookup ignoring case) for reading,
    // following a link. Returns false (errno kept in LastOsError) when it
    // cannot be opened; never throws.
    bool OpenExactForReading(const std::string& path);
    // Opens, or creates readable by its owner only, the file at exactly `path`
    // and waits until this process holds it exclusively among those that ask
    // the same; closing the file lets go. Returns false (errno kept in
    // LastOsError) when that fails.
    bool OpenAndLockExclusively(const std::string& path);
    bool IsOpen() const { return m_handle != NoNativeHandle; }
    // Whether the open file is a regular file (not a folder, device or pipe).
    bool IsRegularFile() const;
    // The system's handle, for the platform layer's own calls.
    NativeHandle Handle() const { return m_handle; }
    // The error of the last failed open, as an errno number on both systems.
    int LastOsError() const { return m_lastOsError; }

    // Reads up to `count` bytes; fewer only at the end of the file.
    std::size_t Read(void* buffer, std::size_t count);
    // Reads up to `count` bytes at `position` without moving the current
    // position; fewer only at the end of the file.
    std::size_t ReadAt(std::int64_t position, void* buffer, std::size_t count);
    // Reads from the current position to the end of the file.
    std::string ReadToEnd();
    // Writes all `count` bytes or throws.
    void Write(const void* buffer, std::size_t count);
    // Moves to an absolute position from the start of the file.
    std::int64_t Seek(std::int64_t position);
    std::int64_t GetPosition() const;
    std::int64_t GetLength() const;
    // Forces written data to the disk, so a rename after it cannot expose a
    // package that exists in name only.
    void Flush();
    // The file name without its directory, as the file was opened.
    std::string GetFileName() const;
    // The path the file was opened under, after case-insensitive resolution.
    const std::string& GetFilePath() const { return m_path; }
    // Closes the file; throws if the system reports an error on close.
    void Close();

private:
    // Takes `handle`, open on `path`, as this file's; always true.
    bool Adopt(NativeHandle handle, std::string path);
    [[noreturn]] void Fail() const;
    void Release() noexcept;

    NativeHandle m_handle = NoNativeHandle;
    int m_lastOsError = 0;
    std::string m_path;
};

// Reads exactly `count` bytes at `position`; false when the file ends first.
// Throws FileError when the system fails the read.
bool ReadExactlyAt(File& file, std::int64_t position, void* buffer, std::size_t count);

// The whole content of the file at exactly `path` (no lookup ignoring case; a
// link is followed): what the small text files the program reads hold (a drive
// map, a registry store, a system table). Nothing when it cannot be opened or
// read; never throws.
std::optional<std::string> ReadWholeFile(const std::string& path);

// What is at a path, asked without following a link.
enum class PathKind { Missing, File, Folder, Link, Fifo, Other };
PathKind KindOf(const std::string& path);
// What a path leads to, following links (never Link; Missing for a broken one).
PathKind KindOfTarget(const std::string& path);
inline bool IsFolder(const std::string& path) {
    return KindOfTarget(path) == PathKind::Folder;
}

// Removes the file at exactly `path`; false when it cannot be removed.
bool RemoveFile(const std::string& path);

// The system's words for an errno number, e.g. "No space left on device".
std::string OsErrorText(int osError);

// The process's current directory, with a trailing separator.
std::string GetCurrentDirectory();
// `path` made absolute against the current directory; as it is when it is
// absolute already.
std::string AbsolutePath(const std::string& path);
// Makes `path` the current directory; a component that does not exist exactly
// is found without regard to case. Returns false when that fails.
bool SetCurrentDirectory(const std::string& path);

// Resolves `path` against the disk component by component: each component that
// does not exist exactly is replaced by an entry of its directory whose name
// matches it without regard to ASCII case (the first in name order, so the
// result does not depend on listing order). Components that match nothing are
// kept as written. The spelling found on disk is returned.
std::string ResolvePathIgnoringCase(const std::string& path);

}  // namespace moxtrel::platform
