#include "locate/GameDirectory.h"

#include "game/Games.h"
#include "platform/DirectoryListing.h"
#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/Volumes.h"

namespace moxtrel::locate {

std::string DataDirectoryFor(int game) {
    const Game* known = FindGame(game);
    return known ? std::string(known->dataDirectory) : std::string();
}

std::string ExecutableFor(int game) {
    const Game* known = FindGame(game);
    return known ? std::string(known->executable) : std::string();
}

std::string ComposeGameDirectory(const std::string& folder, int game) {
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
