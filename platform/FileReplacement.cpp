#include "platform/FileReplacement.h"

#include "platform/FileReplacementSystem.h"

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

void FileReplacement::Discard() noexcept {
    if (!m_pending) return;
    m_pending = false;
    system::RemoveTemporary(m_output, m_temporary);
}

}  // namespace moxtrel::platform
