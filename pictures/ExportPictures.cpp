#include "pictures/ExportPictures.h"

#include <filesystem>
#include <map>

#include "game/GameArchives.h"
#include "pictures/PictureNames.h"
#include "pictures/PngPicture.h"
#include "pictures/TextureSource.h"
#include "platform/Text.h"
#include "platform//FileIdentity.h"
#include "platform/FileReplacement.h"
#include "platform/FsPath.h"
#include "platform/Paths.h"
#include "preview/ContactSheet.h"

namespace moxtrel::pictures {

namespace {

struct PlannedPicture {
    const SourceTexture* texture;
    std::string path;
};

// The file of each texture; refuses two that a file system ignoring case
// would take for one.
std::vector<PlannedPicture> PlanFiles(const std::vector<SourceTexture>& textures, const std::string& folder) {
    std::vector<PlannedPicture> planned;
    std::map<std::string, const SourceTexture*> byFoldedName;
    for (const SourceTexture& texture : textures) {
        std::string fileName = PictureFileName(texture.name);
        auto [kept, added] = byFoldedName.emplace(FoldedCase(fileName), &texture);
        if (!added) {
            throw PictureError("the textures " + platform::ReadableText(kept->second->name) + " and " +
                               platform::ReadableText(texture.name) + " would both be written as " +
                               platform::ReadableText(fileName) + " on a file system that ignores letter case");
        }
        planned.push_back({&texture, platform::JoinPath(folder, fileName)});
    }
    return planned;
}

// Makes the folder unless it is there (CheckFolderCanBeMade has passed).
void MakeFolder(const std::string& folder) {
    if (platform::IsFolder(folder)) return;
    std::error_code error;
    std::filesystem::create_directory(platform::ToFsPath(folder), error);
    if (error) throw PictureError(folder + ": the folder cannot be made: " + error.message());
}

void CheckFolderCanBeMade(const std::string& folder) {
    platform::PathKind kind = platform::KindOfTarget(folder);
    if (kind == platform::PathKind::Folder) return;
    if (kind != platform::PathKind::Missing) throw PictureError(folder + ": not a folder");
    std::string parent(
        platform::WithoutTrailingSeparator(platform::FolderOf(platform::WithoutTrailingSeparator(folder))));
    if (!parent.empty() && !platform::IsFolder(parent)) {
        throw PictureError(folder + ": its parent folder " + parent + " does not exist");
    }
}

}  // namespace

void RefuseToReplaceSource(const std::string& target, const std::vector<std::string>& sources) {
    for (const std::string& source : sources) {
        if (platform::IsSameFile(target, source)) {
            throw PictureError(target + ": it is " + source + ", which this run reads");
        }
    }
}

std::vector<std::string> PaletteFiles(const std::string& paletteSource) {
    if (platform::IsFolder(paletteSource)) return FindNumberedArchives(paletteSource);
    return {paletteSource};
}

void ExportPictures(const ExportRequest& request, WarningSink& warnings,
                    const std::function<void(const std::string& path)>& written) {
    TextureSource source(request.source, warnings);
    Palette palette = preview::LoadPalette(request.paletteSource, warnings);
    std::vector<PlannedPicture> planned = PlanFiles(source.Textures(), request.folder);
    CheckFolderCanBeMade(request.folder);
    std::vector<std::string> sources = PaletteFiles(request.paletteSource);
    sources.push_back(source.Path());
    for (const PlannedPicture& picture : planned) RefuseToReplaceSource(picture.path, sources);

    MakeFolder(request.folder);
    for (const PlannedPicture& picture : planned) {
        std::optional<IndexedPicture> numbers = source.ReadFullSize(*picture.texture);
        if (!numbers) continue;
        const std::vector<unsigned char> png = EncodePng(ColourPicture(*numbers, palette), IsFenceTexture(numbers->name));
        platform::ReplaceFileContent(picture.path, png.data(), png.size());
        written(picture.path);
    }
}

}  // namespace moxtrel::pictures
