#pragma once
// Registers a written package with the level editor: the first texture-pack
// slot (txpack0 .. txpack31) that is free or already holds one of this
// program's packages receives its type, path and name. Reports nothing.

#include <string>

namespace moxtrel {

// `gameDir` ends with '/'; the path written is gameDir followed by the package
// name. A game kind other than Quake (0) or Hexen II (1) writes nothing.
void RegisterTexturePack(int game, const std::string& gameDir);

}  // namespace moxtrel
