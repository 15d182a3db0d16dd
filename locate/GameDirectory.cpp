#include "locate/GameDirectory.h"

#include "platform/DirectoryListing.h"
#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/Volumes.h"

namespace moxtrel::locate {

std::string DataDirectoryFor(GameKind game) { return std::string(GameOf(game).dataDirectory); }

std::string ExecutableFor(GameKind game) { return std::string(GameOf(game).executable); }

std::string ComposeGameDirectory(const std::string& folder, GameKind game) {
    // The table writes the data folder with '/'; it is joined the system's way.
    const std::string data = DataDirectoryFor(game);
    return platform::WithTrailingSlash(platform::JoinPath(folder, platform::WithoutTrailingSeparator(data)));
}

CandidateResult TestGameDirectory(std::string& gameDir) {
    if (gameDir.empty()) return CandidateResult::NotEnterable;
    std::string onDisk = platform::WithTrailingSlash(platform::ResolvePathIgnoringCase(gameDir));
    if (!platform::SetCurrentDirectory(onDisk)) return CandidateResult::NotEnterable;
    gameDir = onDisk;
    if (!platform::EntryExistsIgnoringCase(".", "PAK0.PAK")) return CandidateResult::ArchivesMissing;
    if (!platform::EntryExistsIgnoringCase(".", "PAK1.PAK")) return CandidateResult::ArchivesMissing;
    return CandidateResult::Found;
}

}  // namespace moxtrel::locate
