#pragma once
// The crash-safe replace of a file the program writes (the package, the run's
// report): the new contents go to a temporary file beside the target, which
// is forced to disk and renamed over the target only when it is complete. A
// run that fails or crashes never destroys the file an earlier run wrote.

#include <string>
#include <string_view>

#include "platform/File.h"

namespace moxtrel::platform {

class ReplacementFile {
public:
    // `target` is the file to replace; a relative path resolves in the
    // current directory at the time of Create and Commit.
    explicit ReplacementFile(std::string target);
    ~ReplacementFile() { Discard(); }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the temporary file ".NAME.part-XXXXXX" in the target's folder.
    // False (errno in LastOsError) when that fails.
    bool Create();
    int LastOsError() const { return m_file.LastOsError(); }
    File& Contents() { return m_file; }

    // Makes the written file the target, replacing any earlier one, and makes
    // the rename itself durable. Throws FileError.
    void Commit();
    // Removes the temporary file unless it became the target.
    void Discard() noexcept;

    // The name the user knows a file of the run by: the target's own name
    // stands for its temporary file; other paths lose their folder.
    std::string NameForUser(const std::string& path) const;

private:
    std::string m_target;
    std::string m_folder;  // with a trailing '/', or empty for the current one
    std::string m_name;
    File m_file;
    bool m_done = false;
};

// Replaces `target` with `contents` through a ReplacementFile. Throws FileError.
void WriteFileReplacing(const std::string& target, std::string_view contents);

}  // namespace moxtrel::platform
