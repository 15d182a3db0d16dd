#pragma once
// Whole files as byte strings, for tests that write a file and read it back.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace moxtrel::test {

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace moxtrel::test
