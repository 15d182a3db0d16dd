#include "platform/FileReplacement.h"

#include "platform/FileReplacementSystem.h"
#include "platform/Paths.h"

namespace moxtrel::platform {

bool FileReplacement::Begin(const std::string& target, const std::string& temporaryPrefix, NewFileAccess access) {
    Discard();
    m_target = target;
    m_sealed = false;
    m_lastOsError = system::CheckReplaceable(target);
    if (m_lastOsError == 0) {
        m_lastOsError = system::CreateTemporary(target, temporaryPrefix, access, m_output, m_temporary);
    }
    m_pending = m_lastOsError == 0;
    return m_pending;
}

void FileReplacement::Seal() {
    if (m_sealed) return;
    m_output.Flush();
    // An unnamed file stays open until it has a name: closed, it would go.
    if (m_temporary.named) m_output.Close();
    m_sealed = true;
}

void FileReplacement::Commit() {
    Seal();
    if (int error = system::MoveOver(m_output, m_temporary, m_target); error != 0) {
        Discard();
        throw FileError(error, m_target);
    }
    m_pending = false;
}

std::string PartFilePrefix(const std::string& target) {
    return "." + NameOf(target) + ".part-";
}

void CommitContent(FileReplacement& replacement, const void* bytes, std::size_t count) {
    try {
        replacement.Output().Write(bytes, count);
        replacement.Commit();
    } catch (const FileError& error) {
        replacement.Discard();
        throw FileError(error.OsError(), replacement.Target());
    }
}

void ReplaceFileContent(const std::string& target, const void* bytes, std::size_t count) {
    FileReplacement replacement;
    if (!replacement.Begin(target, PartFilePrefix(target))) throw FileError(replacement.LastOsError(), target);
    CommitContent(replacement, bytes, count);
}

void FileReplacement::Discard() noexcept {
    if (!m_pending) return;
    m_pending = false;
    system::RemoveTemporary(m_output, m_temporary);
}

}  // namespace moxtrel::platform
