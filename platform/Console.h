#pragma once
// What moxtrel-cli asks of the terminal it writes to: whether its messages go
// to one (progress is drawn only there) and how wide it is (the progress line
// is fitted to it).

#include <cstdio>
#include <optional>

namespace moxtrel::platform {

// Whether `stream` writes to a terminal (a console window on Windows) rather
// than a file or pipe.
bool IsTerminal(std::FILE* stream);

// The number of columns of the terminal `stream` writes to; none when it
// writes to no terminal or the terminal does not tell.
std::optional<int> TerminalColumns(std::FILE* stream);

}  // namespace moxtrel::platform
