#pragma once
// The crash-safe way to give a file new content: write it to a temporary file
// beside the target, force it to disk, rename it over the target and force the
// rename to disk. Until the rename the target keeps its old content whole; if
// anything fails, or the replacement is dropped, the temporary file goes and
// the target is left as it was. The package and the registry store are both
// written this way, so a crash, a full disk or a second writer never leaves a
// half-written or lost file.

#include <string>

#include "platform/File.h"

namespace moxtrel::platform {

class FileReplacement {
public:
    // The permissions the new content gets.
    enum class Permissions {
        NewFile,     // those of any newly created file (0666 less the umask)
        KeepTarget,  // the target's own; owner-only when there is no target yet
    };

    FileReplacement() = default;
    ~FileReplacement() { Discard(); }
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the temporary file in the target's folder, named
    // `temporaryPrefix` followed by six random characters. Returns false
    // (errno kept in LastOsError) when it cannot be made; never throws.
    bool Begin(const std::string& target, const std::string& temporaryPrefix, Permissions permissions);
    int LastOsError() const { return m_lastOsError; }

    // Where the new content is written.
    File& Output() { return m_output; }
    const std::string& TemporaryPath() const { return m_temporary; }
    const std::string& Target() const { return m_target; }

    // Forces the content to disk and closes the temporary file; after this
    // nothing more can be written. Throws FileError.
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
    std::string m_temporary;
    int m_lastOsError = 0;
    bool m_sealed = false;
    bool m_pending = false;  // a temporary file exists that is not the target yet
};

}  // namespace moxtrel::platform
