#pragma once
// The crash-safe way to give a file new content: write it to a temporary file
// beside the target, force it to disk, rename it over the target and force the
// rename to disk. Until the rename the target keeps its old content whole; if
// anything fails, or the replacement is dropped, the temporary file goes and
// the target is left as it was. The package and the registry store are both
// written this way, so a crash, a full disk or a second writer never leaves a
// half-written or lost file.
//
// On Linux the temporary file has no name until the moment before the
// rename, so an interrupted run leaves nothing in the folder; a temporary
// file that has a name (on a file system without unnamed files, or in that
// moment) is removed when SIGINT, SIGTERM or SIGHUP ends the process.

#include <string>

#include "platform/File.h"

namespace moxtrel::platform {

// The temporary file of a replacement, as the system's half keeps it.
struct ReplacementTemporary {
    std::string path;        // its name, or the one it gets just before the rename
    bool named = false;      // whether a file of that name exists now
    int watchedAt = -1;      // its place among the names an interrupt removes; -1 none
};

class FileReplacement {
public:
    // Who may read and write the new file when there is no target yet. A
    // target that exists always keeps its own permissions, and on POSIX its
    // owner and group too where the process may set them.
    enum class NewFileAccess {
        Usual,      // as any newly created file (0666 less the umask)
        OwnerOnly,  // its owner only (0600)
    };

    FileReplacement() = default;
    ~FileReplacement() { Discard(); }
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the temporary file in the target's folder: unnamed where the
    // file system allows, otherwise named `temporaryPrefix` followed by six
    // random characters. Refuses a target whose permissions let nobody write
    // it (a read-only file on Windows) with EACCES, creating nothing: the
    // user protected it. Returns false (errno kept in LastOsError) when it
    // refuses or the file cannot be made; never throws.
    bool Begin(const std::string& target, const std::string& temporaryPrefix,
               NewFileAccess access = NewFileAccess::Usual);
    int LastOsError() const { return m_lastOsError; }

    // Where the new content is written.
    File& Output() { return m_output; }
    // The temporary file's name, which the output's errors carry; an unnamed
    // file gets it just before it replaces the target.
    const std::string& TemporaryPath() const { return m_temporary.path; }
    const std::string& Target() const { return m_target; }

    // Forces the content to disk; after this nothing more may be written.
    // Throws FileError.
    void Seal();
    // Seals the content if that is not done yet, then renames it over the
    // target and forces the rename to disk. Throws FileError naming the
    // target when the rename fails; the temporary file is then removed.
    void Commit();
    // Removes the temporary file unless it has become the target.
    void Discard() noexcept;

private:
    File m_output;
    std::string m_target;
    ReplacementTemporary m_temporary;
    int m_lastOsError = 0;
    bool m_sealed = false;
    bool m_pending = false;  // a temporary file exists that is not the target yet
};

// The name the program's own outputs give their temporary file beside
// `target`: ".NAME.part-", to which the replacement adds six random characters.
std::string PartFilePrefix(const std::string& target);

// Writes `count` bytes as the whole new content of a begun replacement and
// puts it in place. Throws FileError naming the target when the write or the
// rename fails; the temporary file is then gone and the target as it was.
void CommitContent(FileReplacement& replacement, const void* bytes, std::size_t count);

// The crash-safe way to write a whole file: `count` bytes in place of what
// the file at `target` holds, or a new file there, through a FileReplacement
// with the PartFilePrefix. Throws FileError naming `target` when any step fails.
void ReplaceFileContent(const std::string& target, const void* bytes, std::size_t count);

}  // namespace moxtrel::platform
