#include "pictures/PackPictures.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>

#include "extract/ExtractionRun.h"
#include "extract/TextureTable.h"
#include "extract/WadWriter.h"
#include "pictures/ExportPictures.h"
#include "pictures/MiptexRecord.h"
#include "pictures/PictureNames.h"
#include "pictures/PngPicture.h"
#include "platform/FileReplacement.h"
#include "platform/FsPath.h"
#include "platform/Paths.h"

namespace moxtrel::pictures {

namespace {

// The game draws textures whose sides are multiples of 16.
constexpr int SideMultiple = 16;
// A package stores positions and sizes as signed 32-bit numbers.
constexpr std::int64_t LargestPackage = std::numeric_limits<std::int32_t>::max();

// The folder's files ending in ".png", in the byte order of their names.
std::vector<std::string> PicturesInFolder(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(platform::ToFsPath(folder), error)) {
        std::string name = platform::FromFsPath(entry.path().filename());
        std::error_code kindError;
        if (HasPictureExtension(name) && !entry.is_directory(kindError)) names.push_back(name);
    }
    if (error) throw PictureError(folder + ": the folder cannot be read: " + error.message());
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back(platform::JoinPath(folder, name));
    return paths;
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) joined += (joined.empty() ? "" : ", ") + text;
    return joined;
}

TextureName RecordName(const std::string& name) {
    TextureName bytes{};
    std::memcpy(bytes.data(), name.data(), std::min(name.size(), bytes.size() - 1));
    return bytes;
}

// Reads the picture and makes its record, refusing sides the game cannot draw.
std::vector<unsigned char> MakeRecord(const PictureFile& file, const PaletteMatcher& matcher) {
    RgbaPicture picture = ReadPngFile(file.path);
    if (picture.width % SideMultiple != 0 || picture.height % SideMultiple != 0) {
        throw PictureError(file.path + ": the picture is " + std::to_string(picture.width) + " x " +
                           std::to_string(picture.height) + " pixels; a texture's sides are multiples of " +
                           std::to_string(SideMultiple));
    }
    return MakeMiptexRecord(file.textureName, picture, matcher);
}

// Makes every picture's record into `records`, a scratch file, and lists
// where each lies in `table`, so the package writer copies them as it copies
// an archive's.
void MakeRecords(const std::vector<PictureFile>& pictures, const Palette& palette, platform::File& records,
                 TextureTable& table) {
    PaletteMatcher matcher(palette);
    std::int64_t packageBytes = static_cast<std::int64_t>(WadLayout::HeaderBytes);
    std::int64_t position = 0;
    for (const PictureFile& file : pictures) {
        std::vector<unsigned char> record = MakeRecord(file, matcher);
        auto size = static_cast<std::int64_t>(record.size());
        packageBytes += size + static_cast<std::int64_t>(WadLayout::DirEntryBytes);
        if (packageBytes > LargestPackage) {
            throw PictureError(file.path + ": with it the package would grow beyond 2 GB");
        }
        records.Write(record.data(), record.size());
        TextureEntry entry;
        entry.name = RecordName(file.textureName);
        entry.position = static_cast<std::int32_t>(position);
        entry.size = static_cast<std::int32_t>(size);
        entry.source = &records;
        table.AddIfNew(std::move(entry));
        position += size;
    }
}

}  // namespace

std::vector<PictureFile> ListPictureFiles(const std::vector<std::string>& arguments) {
    std::vector<std::string> paths;
    for (const std::string& argument : arguments) {
        platform::PathKind kind = platform::KindOfTarget(argument);
        if (kind == platform::PathKind::Missing) throw PictureError(argument + ": " + platform::OsErrorText(ENOENT));
        if (kind == platform::PathKind::Folder) {
            std::vector<std::string> inFolder = PicturesInFolder(argument);
            paths.insert(paths.end(), inFolder.begin(), inFolder.end());
        } else {
            paths.push_back(argument);
        }
    }
    if (paths.empty()) throw PictureError("no .png pictures in " + Joined(arguments));

    std::vector<PictureFile> pictures;
    std::map<std::string, std::string> pathOfName;  // folded texture name -> the first file that gives it
    for (const std::string& path : paths) {
        std::string fault;
        std::optional<std::string> name = TextureNameOfPicture(platform::NameOf(path), fault);
        if (!name) throw PictureError(path + ": " + fault);
        auto [first, added] = pathOfName.emplace(FoldedCase(*name), path);
        if (!added) {
            throw PictureError(first->second + " and " + path + " both give the texture name " + FoldedCase(*name) +
                               " (letter case does not count in a texture's name)");
        }
        pictures.push_back({path, *name});
    }
    return pictures;
}

void PackPictures(const PackRequest& request, WarningSink& warnings) {
    std::vector<PictureFile> pictures = ListPictureFiles(request.pictures);
    Palette palette = preview::LoadPalette(request.paletteSource, warnings);
    // A bare name is a file of the current folder.
    std::string where = platform::FolderOf(request.package).empty() ? "./" + request.package : request.package;
    if (std::string problem = OutputPathProblem(where); !problem.empty()) {
        throw PictureError(request.package + ": " + problem);
    }
    std::vector<std::string> sources = PaletteFiles(request.paletteSource);
    for (const PictureFile& picture : pictures) sources.push_back(picture.path);
    RefuseToReplaceSource(request.package, sources);

    std::string folder = platform::FolderOf(request.package);
    platform::File records;
    if (!records.OpenScratch(folder, "." + platform::NameOf(request.package) + ".records-")) {
        throw platform::FileError(records.LastOsError(), folder.empty() ? "." : folder);
    }
    TextureTable table;
    MakeRecords(pictures, palette, records, table);

    platform::FileReplacement package;
    if (!package.Begin(request.package, "." + platform::NameOf(request.package) + ".part-")) {
        throw platform::FileError(package.LastOsError(), request.package);
    }
    NullSinks quiet;
    std::int32_t directory = WriteWadLumps(package.Output(), table, quiet, quiet);
    WriteWadDirectory(package.Output(), table, directory, quiet, quiet);
    package.Commit();
}

}  // namespace moxtrel::pictures
