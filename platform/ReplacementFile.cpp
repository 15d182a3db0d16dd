#include "platform/ReplacementFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace moxtrel::platform {

namespace {

// Forces the folder's entry list to disk, so the rename survives a power cut.
void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target) : m_target(std::move(target)) {
    std::size_t slash = m_target.find_last_of('/');
    m_folder = slash == std::string::npos ? "" : m_target.substr(0, slash + 1);
    m_name = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
}

bool ReplacementFile::Create() {
    return m_file.OpenTemporary(m_folder, "." + m_name + ".part-");
}

void ReplacementFile::Commit() {
    m_file.Flush();
    std::string temporary = m_file.GetFilePath();
    m_file.Close();
    if (std::rename(temporary.c_str(), m_target.c_str()) != 0) throw FileError(errno, m_name);
    m_done = true;
    SyncFolder(m_folder);
}

void ReplacementFile::Discard() noexcept {
    if (m_done || m_file.GetFilePath().empty()) return;
    std::string temporary = m_file.GetFilePath();
    try {
        m_file.Close();
    } catch (const FileError&) {
    }
    std::remove(temporary.c_str());
    m_done = true;
}

std::string ReplacementFile::NameForUser(const std::string& path) const {
    if (!m_done && path == m_file.GetFilePath()) return m_name;
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void WriteFileReplacing(const std::string& target, std::string_view contents) {
    ReplacementFile file(target);
    if (!file.Create()) throw FileError(file.LastOsError(), target);
    if (!contents.empty()) file.Contents().Write(contents.data(), contents.size());
    file.Commit();
}

}  // namespace moxtrel::platform
