#include "support/CapturedFile.h"

#include <stdexcept>

namespace moxtrel::test {

// A file in a folder of its own rather than tmpfile(), which Windows creates
// in the root of the current drive, where a user may not write.
CapturedFile::CapturedFile() : m_file(std::fopen((m_dir / "captured").string().c_str(), "w+b")) {
    if (!m_file) throw std::runtime_error("cannot create a file to capture output in");
}

CapturedFile::~CapturedFile() { std::fclose(m_file); }

std::string CapturedFile::Text() {
    std::fflush(m_file);
    std::fpos_t end;
    std::fgetpos(m_file, &end);
    std::rewind(m_file);
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;) text.append(buffer, got);
    std::fsetpos(m_file, &end);
    return text;
}

}  // namespace moxtrel::test
