#include "fuzz/FuzzTargets.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <tuple>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "extract/Harvest.h"
#include "extract/HarvestReport.h"
#include "extract/WadWriter.h"
#include "formats/Wad.h"
#include "fuzz/MemoryFile.h"
#include "platform/File.h"
#include "platform/LittleEndian.h"
#include "platform/RegistryStore.h"
#include "platform/Text.h"
#include "platform/Volumes.h"
#include "platform/wine/WineRegistryFile.h"

namespace moxtrel::fuzz {

namespace {

// Counts the messages of a harvest; progress, status and warnings are
// exercised but not looked at.
class CountingSinks : public NullSinks {
public:
    using MessageSink::ShowMessage;
    void ShowMessage(const std::string&, const std::string&, MessageKind, const std::string&) override { ++messages; }
    int messages = 0;
};

struct KeptRecord {
    TextureName name;
    std::int64_t position;  // in the archive
    std::int64_t size;
};

// Every kept texture lies whole inside the input, and no name is kept twice.
std::string CheckTable(const TextureTable& table, const platform::File& pak, const platform::File& map,
                       std::size_t archiveSize, std::vector<KeptRecord>& kept) {
    std::vector<std::string> names;
    for (const TextureEntry& entry : table) {
        if (entry.source != &pak && entry.source != &map) return "an entry names a file that was not read as its source";
        if (entry.position < 0 || entry.size < 0 ||
            static_cast<std::uint64_t>(entry.position) + static_cast<std::uint64_t>(entry.size) > archiveSize) {
            return "texture " + DisplayName(entry.name) + " (" + std::to_string(entry.size) + " bytes at " +
                   std::to_string(entry.position) + ") does not lie inside the archive";
        }
        names.push_back(ComparableName(entry.name));
        kept.push_back({entry.name, entry.position, entry.size});
    }
    std::sort(names.begin(), names.end());
    if (std::adjacent_find(names.begin(), names.end()) != names.end()) return "a texture name was kept twice";
    return {};
}

// The package holds every kept record, unchanged and in order, and its
// directory says where each one is.
std::string CheckPackage(const std::vector<unsigned char>& package, const std::string& packagePath,
                         const std::uint8_t* archive, const std::vector<KeptRecord>& kept) {
    std::int64_t expectedLength = static_cast<std::int64_t>(WadLayout::HeaderBytes);
    for (const KeptRecord& record : kept) expectedLength += record.size + static_cast<std::int64_t>(WadLayout::DirEntryBytes);
    if (static_cast<std::int64_t>(package.size()) != expectedLength) {
        return "the package has " + std::to_string(package.size()) + " bytes, expected " + std::to_string(expectedLength);
    }
    WadContents wad;
    try {
        wad = ReadWad(packagePath);
    } catch (const std::exception& error) {
        return std::string("the package cannot be read back: ") + error.what();
    }
    if (wad.lumps.size() != kept.size()) return "the package lists another number of lumps than were kept";
    std::int64_t position = static_cast<std::int64_t>(WadLayout::HeaderBytes);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const WadLump& lump = wad.lumps[i];
        const KeptRecord& record = kept[i];
        if (lump.position != position || lump.diskSize != record.size || lump.size != record.size ||
            lump.type != WadLayout::MiptexType || lump.compression != 0 || lump.name != record.name) {
            return "directory entry " + std::to_string(i) + " does not describe the record that was kept";
        }
        auto size = static_cast<std::size_t>(record.size);
        if (size != 0 && std::memcmp(package.data() + position, archive + record.position, size) != 0) {
            return "lump " + std::to_string(i) + " differs from its record in the archive";
        }
        position += record.size;
    }
    if (wad.directoryPosition != position) return "the header's directory position is not the end of the lumps";
    return {};
}

// The report lists the kept textures as the table does, and each repeat is a
// kept name found again inside the input, "same" only when its bytes are.
std::string CheckReport(const HarvestReport& report, const std::vector<KeptRecord>& kept, const std::uint8_t* data,
                        std::size_t size) {
    if (report.textures.size() != kept.size()) return "the report lists another number of textures than were kept";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const ReportTexture& texture = report.textures[i];
        if (texture.name != kept[i].name || texture.position != kept[i].position || texture.size != kept[i].size) {
            return "report texture " + std::to_string(i) + " is not the kept record";
        }
    }
    for (const ReportRepeat& repeat : report.repeats) {
        const ReportTexture& found = repeat.found;
        if (found.position < 0 || found.size < 0 ||
            static_cast<std::uint64_t>(found.position) + static_cast<std::uint64_t>(found.size) > size) {
            return "a repeat of " + DisplayName(found.name) + " does not lie inside the input";
        }
        auto first = std::find_if(kept.begin(), kept.end(), [&](const KeptRecord& record) {
            return ComparableName(record.name) == ComparableName(found.name);
        });
        if (first == kept.end()) return "a repeat of " + DisplayName(found.name) + ", which was never kept";
        bool same = first->size == found.size &&
                    std::memcmp(data + first->position, data + found.position, static_cast<std::size_t>(found.size)) == 0;
        if (same != repeat.sameBytes) return "a repeat of " + DisplayName(found.name) + " is marked the wrong way";
    }
    return {};
}

std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Two parsed stores hold the same keys with the same values.
std::string CompareStores(const platform::RegistryDocument& first, const platform::RegistryDocument& second) {
    if (first.Keys().size() != second.Keys().size()) return "the store read back has another number of keys";
    for (std::size_t k = 0; k < first.Keys().size(); ++k) {
        const auto& a = first.Keys()[k];
        const auto& b = second.Keys()[k];
        if (a.path != b.path || a.values.size() != b.values.size()) return "key " + a.path + " reads back changed";
        for (std::size_t v = 0; v < a.values.size(); ++v) {
            const auto& x = a.values[v];
            const auto& y = b.values[v];
            if (x.name != y.name || x.type != y.type || x.data != y.data || x.isComment != y.isComment) {
                return "value \"" + x.name + "\" of key " + a.path + " reads back changed";
            }
        }
    }
    return {};
}

// Comments are compared by position only: a carriage return at the end of a
// comment line in a file of mixed line ends may be taken for part of the line end.
std::string ReadBack(const std::string& text, platform::RegistryDocument& document) {
    std::string error;
    if (!platform::RegistryDocument::Parse(text, document, error)) {
        return "the store as written cannot be read back (" + error + ")";
    }
    return {};
}

// Sets a text made of the input's last bytes (quotes, backslashes, line
// breaks and all) and a number in the first key, as a registration does, and
// checks that both read back and nothing else changed. A store of Unicode
// text (UTF-16, or a version-5 one, which keeps text in hex as UTF-16) holds
// UTF-8 text only: there the input's bytes are taken below 0x80, with an
// accented letter after them.
std::string CheckSetValues(const platform::RegistryDocument& parsed, std::string_view input) {
    if (parsed.Keys().empty()) return {};
    platform::RegistryDocument changed = parsed;
    const std::string path = parsed.Keys().front().path;
    std::string text(input.substr(input.size() - std::min<std::size_t>(input.size(), 24)));
    if (parsed.IsVersion5() || parsed.Encoding() == platform::RegistryEncoding::Utf16LeWithBom) {
        for (char& c : text) c = static_cast<char>(c & 0x7F);
        text += "\xC3\xA9";
    }
    text.push_back('\0');
    std::string number(4, '\0');
    platform::WriteInt32LE(reinterpret_cast<unsigned char*>(number.data()), 1);
    if (!changed.SetValue(path, "path", 1, text) || !changed.SetValue(path, "type", 4, number)) {
        return "a value cannot be set in key " + path + ", which the store lists";
    }
    platform::RegistryDocument reread;
    if (std::string broken = ReadBack(changed.Serialize(), reread); !broken.empty()) return "after a set, " + broken;
    const platform::RegistryValue* pathValue = reread.FindValue(path, "path");
    const platform::RegistryValue* typeValue = reread.FindValue(path, "type");
    if (!pathValue || pathValue->type != 1 || pathValue->data != text) return "a text value set does not read back";
    if (!typeValue || typeValue->type != 4 || typeValue->data != number) return "a number value set does not read back";
    if (reread.Keys().size() != parsed.Keys().size()) return "setting a value changed the number of keys";
    return CompareStores(changed, reread);
}

// Every value of every key listed in a Wine registry file, as read.
using WineValues = std::vector<std::tuple<std::string, std::string, std::uint32_t, std::string>>;

WineValues ReadAllValues(const platform::wine::WineRegistryFile& file) {
    WineValues values;
    for (const std::string& key : file.KeyPaths()) {
        for (const std::string& name : file.ValueNames(key)) {
            std::uint32_t type = 0;
            std::string data;
            // A name with a lone surrogate cannot be asked for in UTF-8.
            if (file.ReadValue(key, name, type, data).Ok()) values.emplace_back(key, name, type, data);
        }
    }
    return values;
}

// The input as a Wine user.reg: refused with a line inside the file, or
// written back byte for byte; then a registration's values set in its first
// key read back as set, and every other value as it was.
std::string CheckWineRegistry(std::string_view input) {
    namespace wine = platform::wine;
    wine::WineRegistryFile file;
    const wine::WineResult parsed = wine::WineRegistryFile::Parse(input, file);
    if (!parsed.Ok()) {
        const auto lines = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n')) + 1;
        if (parsed.failure != wine::WineFailure::RegistryDamaged || parsed.line < 1 || parsed.line > lines ||
            parsed.detail.empty()) {
            return "a Wine registry file was refused without its line and reason";
        }
        return {};
    }
    if (file.Serialize() != input) return "a Wine registry file is not written back byte for byte";
    if (file.KeyPaths().empty()) return {};

    const std::string key = file.KeyPaths().front();
    std::string text(input.substr(input.size() - std::min<std::size_t>(input.size(), 24)));
    for (char& c : text) c = static_cast<char>(c & 0x7F);
    text += "\xC3\xA9";
    WineValues expected;
    for (const auto& value : ReadAllValues(file)) {
        const bool replaced = platform::EqualsIgnoringCase(std::get<0>(value), key) &&
                              (platform::EqualsIgnoringCase(std::get<1>(value), "path") ||
                               platform::EqualsIgnoringCase(std::get<1>(value), "type"));
        if (!replaced) expected.push_back(value);
    }
    bool changed = false;
    if (!file.SetValues(key, {{"path", text}, {"type", std::uint32_t{1}}}, 0x1dd86b1a54d7bca, changed).Ok()) {
        return "values cannot be set in key " + key + ", which the file lists";
    }
    wine::WineRegistryFile reread;
    if (wine::WineResult again = wine::WineRegistryFile::Parse(file.Serialize(), reread); !again.Ok()) {
        return "the Wine registry file as edited cannot be read back (" + wine::DescribeFailure(again) + ")";
    }
    std::uint32_t type = 0;
    std::string data;
    if (!reread.ReadValue(key, "path", type, data).Ok() || type != 1 || data != text + '\0') {
        return "a text set in a Wine registry file does not read back";
    }
    if (!reread.ReadValue(key, "type", type, data).Ok() || type != 4 || data != std::string("\1\0\0\0", 4)) {
        return "a number set in a Wine registry file does not read back";
    }
    WineValues after;
    for (const auto& value : ReadAllValues(reread)) {
        if (std::find(expected.begin(), expected.end(), value) != expected.end()) after.push_back(value);
    }
    return after == expected ? std::string() : "an edit of a Wine registry file changed a value it did not set";
}

}  // namespace

std::string HarvestArchive(const std::uint8_t* data, std::size_t size) {
    static MemoryFile archive("PAK0.PAK");
    static MemoryFile looseMap("e1m1.bsp");
    static MemoryFile package("Quake.wad");
    if (!archive.Usable() || !looseMap.Usable() || !package.Usable() || !archive.Fill(data, size) ||
        !looseMap.Fill(data, size)) {
        return "no memory file for the input";
    }

    platform::File pak;
    platform::File map;
    platform::File wad;
    if (!pak.Open(archive.Path(), platform::FileMode::ArchiveRead) ||
        !map.Open(looseMap.Path(), platform::FileMode::ArchiveRead) ||
        !wad.Open(package.Path(), platform::FileMode::Create | platform::FileMode::ReadWrite)) {
        return "the memory files cannot be opened";
    }
    CountingSinks sinks;
    TextureTable table;
    HarvestReport report;
    HarvestRecorder recorder(&report, sinks);
    recorder.Watch(table);
    std::vector<KeptRecord> kept;
    try {
        recorder.BeginSource(pak.GetFilePath(), false);
        recorder.AddSource(pak);
        bool whole = HarvestPakTextures(pak, table, sinks, recorder);
        bool isPack = size >= 4 && std::memcmp(data, "PACK", 4) == 0;
        if (whole != isPack) return "the harvest's result does not follow the archive's magic";
        if (whole != (sinks.messages == 0)) return "\"Invalid Pak file.\" shown when it should not be, or not shown";
        recorder.BeginSource(map.GetFilePath(), true);
        recorder.AddSource(map);
        HarvestLooseMap(map, table, recorder, "maps");
        recorder.RecordKept(table);
        if (std::string broken = CheckTable(table, pak, map, size, kept); !broken.empty()) return broken;
        if (std::string broken = CheckReport(report, kept, data, size); !broken.empty()) return broken;

        std::int32_t directoryPosition = WriteWadLumps(wad, table, sinks, sinks);
        WriteWadDirectory(wad, table, directoryPosition, sinks, sinks);
        int animated = 0;
        int simple = 0;
        int total = table.Count();
        CountAndFreeTextures(table, animated, simple);
        if (animated + simple != total || !table.Empty()) return "the counts do not add up to the entries";
    } catch (const platform::FileError& error) {
        // Reading a file held in memory fails only when the harvest asks for
        // something outside it; damaged data must be skipped, not abandon the
        // whole run.
        return std::string("a file error abandoned the run: ") + error.what();
    }
    return CheckPackage(package.Contents(), package.Path(), data, kept);
}

std::string ParseRegistryText(const std::uint8_t* data, std::size_t size) {
    std::string_view input = AsText(data, size);
    if (std::string broken = CheckWineRegistry(input); !broken.empty()) return broken;
    platform::RegistryDocument parsed;
    std::string error;
    if (!platform::RegistryDocument::Parse(input, parsed, error)) {
        return error.empty() ? "a store was refused without a reason" : std::string();
    }
    platform::RegistryDocument reread;
    if (std::string broken = ReadBack(parsed.Serialize(), reread); !broken.empty()) return broken;
    if (std::string broken = CompareStores(parsed, reread); !broken.empty()) return broken;
    return CheckSetValues(parsed, input);
}

std::string ParseDriveMapText(const std::uint8_t* data, std::size_t size) {
    platform::VolumeTable table = platform::ParseDriveMap(AsText(data, size), "/base/");
    for (const platform::Volume& volume : table.volumes) {
        if (volume.root.empty() || volume.root.front() != '/' || volume.root.back() != '/') {
            return "volume root \"" + volume.root + "\" is not an absolute directory path";
        }
        if (volume.root.find('\0') != std::string::npos) return "a volume root holds a NUL";
        int type = static_cast<int>(volume.type);
        if (type < static_cast<int>(platform::DriveType::Unknown) || type > static_cast<int>(platform::DriveType::RamDisk)) {
            return "volume " + volume.root + " has drive type " + std::to_string(type);
        }
    }
    return {};
}

std::string ReadPackageFile(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file("package.wad");
    if (!file.Usable() || !file.Fill(data, size)) return "no memory file for the input";
    WadContents wad;
    try {
        wad = ReadWad(file.Path());
    } catch (const WadFormatError&) {
        return {};
    } catch (const platform::FileError& error) {
        return std::string("reading a file held in memory failed: ") + error.what();
    }
    auto length = static_cast<std::int64_t>(size);
    if (wad.length != length) return "the package's length is not the file's";
    if (wad.directoryPosition < 0 ||
        wad.directoryPosition + static_cast<std::int64_t>(wad.lumps.size() * WadLayout::DirEntryBytes) > length) {
        return "the directory does not lie inside the file";
    }
    for (const WadLump& lump : wad.lumps) {
        if (lump.position < 0 || lump.diskSize < 0 ||
            static_cast<std::int64_t>(lump.position) + lump.diskSize > length) {
            return "lump " + DisplayName(lump.name) + " does not lie inside the file";
        }
    }
    WadTextureCounts counts = CountWadTextures(wad);
    if (counts.simple + counts.animated != static_cast<int>(wad.lumps.size())) return "the counts do not add up";
    return {};
}

}  // namespace moxtrel::fuzz
