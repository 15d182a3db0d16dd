#pragma once
// What moxtrel-cli asks of the terminal it writes to: whether its messages go
// to one (progress is drawn only there) and how wide it is (the progress line
// is fitted to it).

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace moxtrel::platform {

// Whether `stream` writes to a terminal (a console window on Windows) rather
// than a file or pipe.
bool IsTerminal(std::FILE* stream);

// The number of columns of the terminal `stream` writes to; none when it
// writes to no terminal or the terminal does not tell.
std::optional<int> TerminalColumns(std::FILE* stream);

// The program's arguments as UTF-8. On Windows they are read again through
// the wide command line, since `argv` there holds them in the ANSI code page,
// which loses every letter it lacks; elsewhere they are `argv` as it is.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Makes a console show the UTF-8 the program writes, for as long as the
// program runs (Windows; elsewhere the terminal already does).
void UseUtf8Console();

}  // namespace moxtrel::platform
