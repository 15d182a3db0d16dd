#pragma once
// The making of a package from PNG pictures: each picture becomes one
// texture, named after its file (see PictureNames.h), its colours mapped to
// the palette and its smaller levels averaged from it.

#include <string>
#include <vector>

#include "platform/Sinks.h"

namespace moxtrel::pictures {

// A picture to pack and the texture name its file stands for.
struct PictureFile {
    std::string path;
    std::string textureName;
};

// The pictures that `arguments` name: a file as it is, a folder as its files
// ending in ".png" (any letter case) in the byte order of their names;
// folders inside it are not entered. Throws PictureError naming the file when
// an argument does not exist, when a name is not a texture's, when two files
// give one texture name (letter case aside), or when there is no picture.
std::vector<PictureFile> ListPictureFiles(const std::vector<std::string>& arguments);

struct PackRequest {
    std::vector<std::string> pictures;  // files and folders, as ListPictureFiles takes them
    std::string package;                // the WAD2 package to write
    std::string paletteSource;          // a game directory or a palette file, as preview::LoadPalette takes it
};

// Writes the package of the request's pictures in their order, crash-safely:
// nothing is written unless every picture is read and made into a texture.
// Throws PictureError naming the file at fault (a picture that cannot be
// read, whose sides are not multiples of 16, a package over a picture or a
// palette file, or a package that would grow beyond 2 GB), or
// platform::FileError when a file cannot be written, preview::PaletteError
// when no palette is found. Palette members passed over go to `warnings`.
void PackPictures(const PackRequest& request, WarningSink& warnings);

}  // namespace moxtrel::pictures
