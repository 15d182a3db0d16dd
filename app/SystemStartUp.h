#pragma once
// What the window program does with the system around it, each system its own
// way: before wx starts, and to show the text of --help and --version, which a
// window program has no window for.

#include <string>

namespace moxtrel {

// Called first thing: on Linux names the program after the application ID
// for GLib, which names the toolkit's windows after it; on Windows keeps the
// system from asking about drives without a medium.
void PrepareSystem(const char* applicationId);

// Writes `text` where the user who started the program reads it: standard
// output; on Windows, where a program of the window subsystem has no console
// of its own, the console it was started from or else a message box.
void ShowProgramText(const std::string& text);

}  // namespace moxtrel
