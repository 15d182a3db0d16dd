#include "extract/HarvestReport.h"

#include <algorithm>
#include <cstring>

#include "formats/Miptex.h"
#include "platform/File.h"

namespace moxtrel {

namespace {

// Whether two records hold the same bytes, read in pieces so that no buffer
// grows with what the files claim.
bool SameBytes(const TextureEntry& a, const TextureEntry& b) {
    if (a.size != b.size) return false;
    constexpr std::size_t Piece = 65536;
    unsigned char left[Piece];
    unsigned char right[Piece];
    for (std::int64_t done = 0; done < a.size;) {
        auto count = static_cast<std::size_t>(std::min<std::int64_t>(Piece, a.size - done));
        if (!ReadExactlyAt(*a.source, a.position + done, left, count) ||
            !ReadExactlyAt(*b.source, b.position + done, right, count) || std::memcmp(left, right, count) != 0) {
            return false;
        }
        done += static_cast<std::int64_t>(count);
    }
    return true;
}

}  // namespace

std::string DescribeSkippedData(const SkippedData& skipped) {
    auto count = [](int n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); };
    std::string text = "Damaged data was skipped: " + count(skipped.archives, "archive", "archives") + ", " +
                       count(skipped.maps, "map", "maps") + " and " + count(skipped.textures, "texture", "textures") +
                       ". The package holds the rest.\n";
    for (const std::string& warning : skipped.first) text += "\n" + warning;
    int total = skipped.archives + skipped.maps + skipped.textures;
    if (static_cast<std::size_t>(total) > skipped.first.size()) text += "\n...";
    return text;
}

void HarvestRecorder::BeginSource(const std::string& path, bool looseMap) {
    m_current = ReportLocation{platform::AbsolutePath(path), "", looseMap};
}

void HarvestRecorder::AddSource(const platform::File& file) {
    if (m_current.looseMap) m_looseMaps.insert(&file);
    if (m_report) m_report->sources.push_back({platform::AbsolutePath(file.GetFilePath()), file.GetLength()});
}

void HarvestRecorder::Watch(TextureTable& table) {
    if (!m_report) return;
    table.OnRepeat([this](const TextureEntry& kept, const TextureEntry& repeat) {
        m_report->repeats.push_back({Describe(repeat), SameBytes(kept, repeat)});
    });
}

void HarvestRecorder::Remember(const TextureEntry& entry) {
    if (m_report) m_remembered[ComparableName(entry.name)] = Describe(entry);
}

void HarvestRecorder::RecordKept(const TextureTable& table) {
    if (!m_report) return;
    for (const TextureEntry& entry : table) {
        auto remembered = m_remembered.find(ComparableName(entry.name));
        m_report->textures.push_back(remembered != m_remembered.end() ? remembered->second : Describe(entry));
    }
}

void HarvestRecorder::Warn(const std::string& archive, const std::string& map, const std::string& what) {
    m_forward.Warn(archive, map, what);
    // A loose map is a file of its own: a fault of the file is a map skipped.
    if (map.empty()) {
        ++m_skipped.archives;
    } else if (what.starts_with("texture")) {
        ++m_skipped.textures;
    } else {
        ++m_skipped.maps;
    }
    if (m_skipped.first.size() < SkippedData::Listed) m_skipped.first.push_back(WarningText(archive, map, what));
    if (!m_report) return;
    ReportLocation where = m_current;
    if (!where.looseMap) where.member = map;
    m_report->skipped.push_back({where, what});
}

ReportTexture HarvestRecorder::Describe(const TextureEntry& entry) const {
    ReportTexture texture;
    texture.name = entry.name;
    texture.where.source = platform::AbsolutePath(entry.source->GetFilePath());
    texture.where.looseMap = m_looseMaps.count(entry.source) != 0;
    if (!texture.where.looseMap) texture.where.member = entry.mapName;
    texture.position = entry.position;
    texture.size = entry.size;
    if (std::optional<MiptexSize> size = ReadMiptexSize(*entry.source, entry.position, entry.size)) {
        texture.width = size->width;
        texture.height = size->height;
    }
    return texture;
}

}  // namespace moxtrel
