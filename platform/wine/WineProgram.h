#pragma once
// Wine's own reg program, for a prefix whose wineserver runs: it asks that
// server, so what it reads and writes is what the prefix's programs see at
// once. Each call runs "wine reg ..." with WINEPREFIX set and Wine's debug
// output off, and stops it (with whatever it started in its process group)
// when it does not end within the time allowed. A key is only ever written
// when it exists: reg would create it.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wine/WineResult.h"

namespace moxtrel::platform::wine {

// How to run Wine, from the program's environment.
struct WineCommand {
    std::string program = "wine";          // looked for in `searchPath` when it has no '/'
    std::string searchPath;                // $PATH
    std::vector<std::string> environment;  // "NAME=value" entries passed on to wine
    std::string temporaryFolder;           // $TMPDIR; empty for /tmp. Wine must see it through a drive.
    std::chrono::milliseconds timeout{5000};
};

// Runs `command.program` with `arguments` (after the program's own name), its
// output thrown away. Ok with `exitStatus`, or WineNotInstalled, WineTimedOut.
WineResult RunWine(const WineCommand& command, const std::string& prefix, const std::vector<std::string>& arguments,
                   int& exitStatus);

class WineRegProgram {
public:
    WineRegProgram(WineCommand command, std::string prefix) : m_command(std::move(command)), m_prefix(std::move(prefix)) {}

    // Keys are named below the current user ("Software\..."), as in the
    // prefix's user.reg. KeyNotFound when reg finds no such key.
    WineResult CheckKey(std::string_view key) const;
    // Reads a value through "reg export": text as UTF-8 with its NUL, a dword
    // as 4 bytes little-endian, other data as its bytes.
    WineResult ReadValue(std::string_view key, std::string_view name, std::uint32_t& type, std::string& data) const;
    // Sets values in the existing key through "reg import" of a version-5
    // export made for them; KeyNotFound when the key does not exist.
    WineResult SetValues(std::string_view key, const std::vector<WineValue>& values) const;

private:
    WineResult Reg(const std::vector<std::string>& arguments) const;

    WineCommand m_command;
    std::string m_prefix;
};

}  // namespace moxtrel::platform::wine
