#pragma once
// A file that lives in memory only, opened by path through /proc like any
// file on disk, so the harvest, the reader and the sheet run their ordinary
// file code without the fuzzer touching the disk or leaving files behind.

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace moxtrel::fuzz {

class MemoryFile {
public:
    explicit MemoryFile(const char* name) : m_fd(::memfd_create(name, MFD_CLOEXEC)) {}
    ~MemoryFile() {
        if (m_fd >= 0) ::close(m_fd);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    bool Usable() const { return m_fd >= 0; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

    // Replaces the contents with `size` bytes of `data`.
    bool Fill(const std::uint8_t* data, std::size_t size) {
        if (::ftruncate(m_fd, 0) != 0) return false;
        std::size_t done = 0;
        while (done < size) {
            ssize_t put = ::pwrite(m_fd, data + done, size - done, static_cast<off_t>(done));
            if (put <= 0) return false;
            done += static_cast<std::size_t>(put);
        }
        return true;
    }

    std::vector<unsigned char> Contents() const {
        std::vector<unsigned char> bytes;
        unsigned char buffer[65536];
        off_t at = 0;
        for (ssize_t got; (got = ::pread(m_fd, buffer, sizeof buffer, at)) > 0; at += got) {
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
        return bytes;
    }

private:
    int m_fd;
};

}  // namespace moxtrel::fuzz
