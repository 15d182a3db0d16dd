#include "platform/FileReplacement.h"

#include <cerrno>

#include "platform/FileReplacementSystem.h"
#include "platform/Paths.h"

namespace moxtrel::platform {

bool FileReplacement::Begin(const std::string& target, const std::string& temporaryPrefix, Permissions permissions) {
    Discard();
    m_target = target;
    m_sealed = false;
    if (!m_output.OpenTemporary(FolderOf(target), temporaryPrefix)) {
        m_lastOsError = m_output.LastOsError();
        return false;
    }
    m_temporary = m_output.GetFilePath();
    m_pending = true;
    if (!system::ApplyPermissions(m_output, target, permissions)) {
        m_lastOsError = errno;
        Discard();
        return false;
    }
    return true;
}

void FileReplacement::Seal() {
    if (m_sealed) return;
    m_output.Flush();
    m_output.Close();
    m_sealed = true;
}

void FileReplacement::Commit() {
    Seal();
    if (int error = system::MoveOver(m_temporary, m_target); error != 0) {
        Discard();
        throw FileError(error, m_target);
    }
    m_pending = false;
}

void FileReplacement::Discard() noexcept {
    if (!m_pending) return;
    m_pending = false;
    try {
        m_output.Close();
    } catch (const FileError&) {
    }
    RemoveFile(m_temporary);
}

}  // namespace moxtrel::platform
