#pragma once
// The files the build embeds in the binary: the pictures drawn by tools/art
// and the dialog resources.

#include <cstddef>
#include <span>

namespace moxtrel::res {

struct EmbeddedFile {
    const char* name;  // the file's name, e.g. "icon128-32.png" or "Dialogs.xrc"
    const unsigned char* data;
    std::size_t size;
};

std::span<const EmbeddedFile> EmbeddedFiles();

}  // namespace moxtrel::res
