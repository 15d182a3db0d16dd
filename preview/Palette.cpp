#include "preview/Palette.h"

#include <cerrno>
#include <filesystem>
#include <vector>

#include "formats/Pak.h"
#include "game/GameArchives.h"
#include "platform/File.h"
#include "platform/Text.h"

namespace moxtrel::preview {

namespace {

std::string FileNameOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The first usable palette member of one archive, if any. Throws
// platform::FileError when the archive cannot be opened or read.
bool ReadPaletteMember(const std::string& archivePath, Palette& palette, WarningSink& warnings) {
    platform::File pak;
    if (!pak.Open(archivePath, platform::FileMode::ArchiveRead)) throw platform::FileError(pak.LastOsError(), archivePath);
    std::string archive = pak.GetFileName();
    auto warn = [&](const std::string& member, const std::string& what) { warnings.Warn(archive, member, what); };
    if (!HasPakMagic(pak)) {
        warn(PaletteLayout::MemberName, "the file is not a PAK archive");
        return false;
    }
    std::int64_t length = pak.GetLength();
    // A fault of the directory is told as met while looking for the palette.
    auto warnDirectory = [&](const std::string& what) { warn(PaletteLayout::MemberName, what); };

    for (const PakMember& member : ReadPakDirectory(pak, length, warnDirectory)) {
        if (!platform::EqualsIgnoringCase(member.name, PaletteLayout::MemberName)) continue;
        if (member.length != static_cast<std::int32_t>(PaletteLayout::Bytes)) {
            warn(member.name, "holds " + std::to_string(member.length) + " bytes, not the 768 of a palette");
            continue;
        }
        unsigned char bytes[PaletteLayout::Bytes];
        if (member.position < 0 || member.position > length - member.length ||
            !ReadExactlyAt(pak, member.position, bytes, sizeof bytes)) {
            warn(member.name, "its bytes (at " + std::to_string(member.position) + ") lie outside the archive");
            continue;
        }
        palette = PaletteFromBytes(bytes);
        return true;
    }
    return false;
}

Palette FindGamePalette(const std::string& gameDir, WarningSink& warnings) {
    std::vector<std::string> archives = FindNumberedArchives(gameDir);
    if (archives.empty()) {
        throw PaletteError("no palette: " + gameDir + " holds no pak0.pak; name a game directory or a palette file "
                           "with --palette");
    }
    std::string tried;
    for (const std::string& archive : archives) {
        Palette palette{};
        try {
            if (ReadPaletteMember(archive, palette, warnings)) return palette;
        } catch (const platform::FileError& error) {
            warnings.Warn(FileNameOf(archive), PaletteLayout::MemberName, error.OsErrorText());
        }
        tried += (tried.empty() ? "" : ", ") + FileNameOf(archive);
    }
    throw PaletteError("no palette: no whole " + std::string(PaletteLayout::MemberName) + " in the archives of " +
                       gameDir + " (" + tried + "); name a game directory or a palette file with --palette");
}

Palette ReadPaletteFile(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::FileMode::ArchiveRead)) {
        throw PaletteError(path + ": " + platform::FileError(file.LastOsError(), path).OsErrorText());
    }
    std::int64_t length = file.GetLength();
    unsigned char bytes[PaletteLayout::Bytes];
    if (length != static_cast<std::int64_t>(PaletteLayout::Bytes) || !ReadExactlyAt(file, 0, bytes, sizeof bytes)) {
        throw PaletteError(path + ": a palette file holds 768 bytes, this one " + std::to_string(length));
    }
    return PaletteFromBytes(bytes);
}

}  // namespace

Palette LoadPalette(const std::string& source, WarningSink& warnings) {
    std::error_code error;
    if (std::filesystem::is_directory(source, error)) return FindGamePalette(source, warnings);
    return ReadPaletteFile(source);
}

}  // namespace moxtrel::preview
