#pragma once
// The export of a package's or a map's textures as PNG pictures, one file a
// texture, named after it (see PictureNames.h), in the palette's colours.

#include <functional>
#include <string>
#include <vector>

#include "platform/Sinks.h"
#include "formats/Palette.h"
#include "preview/Palette.h"

namespace moxtrel::pictures {

// Passes warnings on and counts them, so a job can tell whether it skipped anything.
class CountingWarnings : public WarningSink {
public:
    explicit CountingWarnings(WarningSink& warnings) : m_warnings(warnings) {}
    void Warn(const std::string& archive, const std::string& map, const std::string& what) override {
        ++m_count;
        m_warnings.Warn(archive, map, what);
    }
    int Count() const { return m_count; }

private:
    WarningSink& m_warnings;
    int m_count = 0;
};

struct ExportRequest {
    std::string source;         // a WAD2 package or a map
    std::string folder;         // created when missing; its parent must exist
    std::string paletteSource;  // a game directory or a palette file, as preview::LoadPalette takes it
};

// Writes each texture of the request's source as FOLDER/NAME.png, its
// full-size level in the palette's colours; fence textures with colour 255
// see-through. Each file is written crash-safely, replacing one of its name;
// `written` gets its path once it is in place. Damaged records are told to
// `warnings` and left out. Throws PictureError, before anything is written,
// when the source is neither a package nor a map, when two textures' file
// names differ only in letter case, when a picture would replace a file the
// run reads, or when the folder cannot be made; PictureError or
// platform::FileError when a file cannot be written; WadFormatError for a
// malformed package, preview::PaletteError when no palette is found.
void ExportPictures(const ExportRequest& request, WarningSink& warnings,
                    const std::function<void(const std::string& path)>& written);

// The files that preview::LoadPalette may read for `paletteSource`: the file
// itself, or a game directory's numbered archives.
std::vector<std::string> PaletteFiles(const std::string& paletteSource);

// Throws PictureError when `target` exists and is one of `sources` (compared
// by file identity): "TARGET: it is SOURCE, which this run reads".
void RefuseToReplaceSource(const std::string& target, const std::vector<std::string>& sources);

}  // namespace moxtrel::pictures
