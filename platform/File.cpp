#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace moxtrel::platform {

std::string AbsolutePath(const std::string& path) {
    return IsAbsolutePath(path) ? path : GetCurrentDirectory() + path;
}

FileError::FileError(int osError, std::string fileName)
    : std::runtime_error(fileName + ": " + platform::OsErrorText(osError)),
      m_osError(osError),
      m_fileName(std::move(fileName)) {}

FileError::FileError(int osError, std::string fileName, std::string description)
    : std::runtime_error(fileName + ": " + description),
      m_osError(osError),
      m_fileName(std::move(fileName)),
      m_description(std::move(description)) {}

std::string FileError::OsErrorText() const {
    return m_description.empty() ? platform::OsErrorText(m_osError) : m_description;
}

File::~File() {
    Release();
}

File::File(File&& other) noexcept
    : m_handle(other.m_handle), m_lastOsError(other.m_lastOsError), m_path(std::move(other.m_path)) {
    other.m_handle = NoNativeHandle;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Release();
        m_handle = other.m_handle;
        m_lastOsError = other.m_lastOsError;
        m_path = std::move(other.m_path);
        other.m_handle = NoNativeHandle;
    }
    return *this;
}

bool File::Adopt(NativeHandle handle, std::string path) {
    m_handle = handle;
    m_lastOsError = 0;
    m_path = std::move(path);
    return true;
}

std::string File::ReadToEnd() {
    std::string text;
    char buffer[8192];
    while (std::size_t got = Read(buffer, sizeof buffer)) {
        text.append(buffer, got);
        if (got < sizeof buffer) break;
    }
    return text;
}

bool ReadExactlyAt(File& file, std::int64_t position, void* buffer, std::size_t count) {
    return file.ReadAt(position, buffer, count) == count;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    File file;
    if (!file.OpenExactForReading(path)) return std::nullopt;
    try {
        return file.ReadToEnd();
    } catch (const FileError&) {
        return std::nullopt;
    }
}

std::string File::GetFileName() const {
    return NameOf(m_path);
}

}  // namespace moxtrel::platform
