#include "cli/JsonText.h"

#include <nlohmann/json.hpp>

namespace moxtrel::cli {

namespace {

// Keys keep the order they are written in, so the documents read top-down.
using json = nlohmann::ordered_json;

// Each byte as the character of the same code point, so nothing is lost or refused.
json ByteText(std::string_view bytes) {
    std::string text;
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

// A path as it is when the library accepts it as UTF-8, else byte by byte.
json PathText(const std::string& path) {
    try {
        (void)json(path).dump();
        return path;
    } catch (const json::type_error&) {
        return ByteText(path);
    }
}

json Location(const ReportLocation& where) {
    json place = {{"source", PathText(where.source)}};
    if (!where.looseMap && !where.member.empty()) place["member"] = ByteText(where.member);
    return place;
}

json Texture(const ReportTexture& texture) {
    json entry = {{"name", ByteText(ComparableName(texture.name))}};
    entry.update(Location(texture.where));
    entry["position"] = texture.position;
    entry["size"] = texture.size;
    if (texture.width) entry["width"] = *texture.width;
    if (texture.height) entry["height"] = *texture.height;
    return entry;
}

}  // namespace

std::string HarvestReportJson(const HarvestReport& report, const std::string& packagePath) {
    json document = {{"package", PathText(packagePath)},
                     {"sources", json::array()},
                     {"textures", json::array()},
                     {"repeats", json::array()},
                     {"skipped", json::array()}};
    for (const ReportSource& source : report.sources) {
        document["sources"].push_back({{"path", PathText(source.path)}, {"size", source.size}});
    }
    for (const ReportTexture& texture : report.textures) {
        json entry = Texture(texture);
        entry["kind"] = IsAnimatedTexture(texture.name) ? "animated" : "simple";
        document["textures"].push_back(entry);
    }
    for (const ReportRepeat& repeat : report.repeats) {
        json entry = Texture(repeat.found);
        entry["content"] = repeat.sameBytes ? "same" : "different";
        document["repeats"].push_back(entry);
    }
    for (const ReportSkip& skip : report.skipped) {
        json entry = Location(skip.where);
        entry["warning"] = ByteText(skip.what);
        document["skipped"].push_back(entry);
    }
    return document.dump(2) + "\n";
}

std::string WadDirectoryJson(const WadContents& wad, const std::vector<LumpPictureSize>& sizes) {
    json document = {{"file", PathText(wad.fileName)},
                     {"size", wad.length},
                     {"directory_position", wad.directoryPosition},
                     {"lumps", json::array()}};
    for (std::size_t i = 0; i < wad.lumps.size(); ++i) {
        const WadLump& lump = wad.lumps[i];
        json entry = {{"name", ByteText(ComparableName(lump.name))},
                      {"position", lump.position},
                      {"size", lump.diskSize},
                      {"type", ByteText(std::string(1, static_cast<char>(lump.type)))}};
        if (lump.size != lump.diskSize || lump.compression != 0) {
            entry["expanded_size"] = lump.size;
            entry["compression"] = lump.compression;
        }
        if (i < sizes.size() && sizes[i].known) {
            entry["width"] = sizes[i].width;
            entry["height"] = sizes[i].height;
        }
        document["lumps"].push_back(entry);
    }
    return document.dump(2) + "\n";
}

}  // namespace moxtrel::cli
