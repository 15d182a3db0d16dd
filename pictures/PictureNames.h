#pragma once
// How a texture's name becomes the name of its picture file and back. The
// game's names hold characters that file systems refuse ('*' of liquids, and
// any byte an old compiler left), so some are written differently in a file
// name, always in a way that reads back to the same bytes.

#include <optional>
#include <string>
#include <string_view>

namespace moxtrel::pictures {

inline constexpr std::string_view PictureExtension = ".png";
// A name fills the 16 bytes of a record with its NUL.
inline constexpr std::size_t MaxTextureNameBytes = 15;

// The file name of texture `name`'s picture: the name with '*' written '#',
// then ".png". A byte that a file name cannot hold on Windows or Linux
// ('<', '>', ':', '"', '/', '\', '|', '?', control bytes, bytes that are not
// part of a UTF-8 character), and '%' and '#' themselves, are written %XX
// (upper-case hex). A name that Windows keeps for a device (CON, NUL, COM1...)
// has its first letter written so as well.
std::string PictureFileName(std::string_view textureName);

// The texture name that a picture file's name (without its folder) stands
// for: without ".png" (in any letter case), '#' read as '*', %XX as the byte
// XX (either case of hex). Returns nothing and sets `fault` when the name
// cannot be a texture's: no ".png" ending, a '%' without two hex digits
// after it, an empty name, a NUL, or more than 15 bytes.
std::optional<std::string> TextureNameOfPicture(std::string_view fileName, std::string& fault);

// Whether `fileName` ends in ".png", in any letter case.
bool HasPictureExtension(std::string_view fileName);

// `name` with the ASCII letters in lower case: the form in which names are
// compared where letter case does not count (the game's texture names, a
// file system that ignores case).
std::string FoldedCase(std::string_view name);

// Whether a texture of this name is a fence: colour 255 is see-through.
inline bool IsFenceTexture(std::string_view name) {
    return !name.empty() && name.front() == '{';
}

}  // namespace moxtrel::pictures
