#include "game/GameArchives.h"

#include <algorithm>
#include <map>

#include "platform/DirectoryListing.h"
#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace moxtrel {

namespace {

constexpr int MaxArchiveNumber = 999999;

bool IsRegularFile(const std::string& path) {
    return platform::KindOf(path) == platform::PathKind::File;
}

std::string WithSlash(const std::string& dir) {
    return platform::WithTrailingSlash(dir.empty() ? "." : dir);
}

}  // namespace

int NumberedArchiveIndex(const std::string& name) {
    constexpr std::string_view prefix = "pak";
    constexpr std::string_view suffix = ".pak";
    if (name.size() <= prefix.size() + suffix.size()) return -1;
    std::string_view view(name);
    if (!platform::EqualsIgnoringCase(view.substr(0, prefix.size()), prefix) ||
        !platform::EqualsIgnoringCase(view.substr(view.size() - suffix.size()), suffix)) {
        return -1;
    }
    std::string_view digits = view.substr(prefix.size(), view.size() - prefix.size() - suffix.size());
    if (digits.size() > 6 || (digits.size() > 1 && digits.front() == '0')) return -1;
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    return number <= MaxArchiveNumber ? number : -1;
}

std::vector<std::string> FindNumberedArchives(const std::string& gameDir) {
    std::string dir = WithSlash(gameDir);
    platform::DirectoryListing listing;
    if (!listing.Open(dir)) return {};

    // For each number, the first name in byte order among the regular files
    // that spell it, so the result does not depend on listing order.
    std::map<int, std::string> byNumber;
    platform::DirectoryEntry entry;
    while (listing.Next(entry)) {
        if (entry.isDirectory) continue;
        std::string name(entry.name);
        int number = NumberedArchiveIndex(name);
        if (number < 0 || !IsRegularFile(dir + name)) continue;
        auto [slot, added] = byNumber.emplace(number, name);
        if (!added && name < slot->second) slot->second = name;
    }

    std::vector<std::string> archives;
    for (int expected = 0;; ++expected) {
        auto found = byNumber.find(expected);
        if (found == byNumber.end()) break;
        archives.push_back(dir + found->second);
    }
    return archives;
}

namespace {

bool EndsWithBspIgnoringCase(std::string_view name) {
    constexpr std::string_view suffix = ".bsp";
    return name.size() > suffix.size() && platform::EqualsIgnoringCase(name.substr(name.size() - suffix.size()), suffix);
}

// The name of gameDir's maps folder, as spelled on disk, or empty.
std::string FindMapsFolder(const std::string& dir) {
    platform::DirectoryListing listing;
    if (!listing.Open(dir)) return {};
    std::string best;
    platform::DirectoryEntry entry;
    while (listing.Next(entry)) {
        if (!entry.isDirectory || !platform::EqualsIgnoringCase(entry.name, "maps")) continue;
        std::string name(entry.name);
        if (best.empty() || name == "maps" || (best != "maps" && name < best)) best = name;
    }
    return best;
}

}  // namespace

LooseMaps FindLooseMaps(const std::string& gameDir) {
    LooseMaps maps;
    std::string dir = WithSlash(gameDir);
    maps.folderName = FindMapsFolder(dir);
    if (maps.folderName.empty()) return maps;
    maps.folderPath = platform::WithTrailingSlash(dir + maps.folderName);
    platform::DirectoryListing listing;
    if (!listing.Open(maps.folderPath)) return maps;
    platform::DirectoryEntry entry;
    while (listing.Next(entry)) {
        if (EndsWithBspIgnoringCase(entry.name)) maps.names.emplace_back(entry.name);
    }
    std::sort(maps.names.begin(), maps.names.end());
    return maps;
}

}  // namespace moxtrel
