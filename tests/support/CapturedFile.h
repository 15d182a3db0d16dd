#pragma once
// A stdio stream whose bytes a test reads back: what a printer or a sink
// wrote, exactly as written (binary, so no '\n' becomes "\r\n" on Windows).

#include <cstdio>
#include <string>

#include "support/TempDir.h"

namespace moxtrel::test {

class CapturedFile {
public:
    CapturedFile();
    ~CapturedFile();
    CapturedFile(const CapturedFile&) = delete;
    CapturedFile& operator=(const CapturedFile&) = delete;

    std::FILE* File() const { return m_file; }
    // Everything written so far; writing can go on afterwards.
    std::string Text();

private:
    TempDir m_dir;
    std::FILE* m_file;
};

}  // namespace moxtrel::test
