#include "extract/ExtractionRun.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "extract/GameArchives.h"
#include "extract/Harvest.h"
#include "extract/PakDirectory.h"
#include "extract/Registration.h"
#include "extract/TextureTable.h"
#include "extract/WadWriter.h"
#include "platform/File.h"
#include "platform/FileReplacement.h"
#include "platform/Paths.h"

namespace moxtrel {

namespace {

constexpr const char* FileIoCaption = "File IO error";
constexpr const char* ExtractionErrorCaption = "Extraction Error";
constexpr const char* CreateFailedText = "Could not create wad file.";

// The files a run reads. They stay open until the lumps are written, since
// every kept texture refers to the file that holds its record.
using SourceFiles = std::vector<std::unique_ptr<platform::File>>;

// Why a file found in the game directory cannot be read, in a warning's words.
std::string RefusalReason(int osError, const std::string& path) {
    const platform::PathKind kind = platform::KindOf(path);
    if (osError == ELOOP || kind == platform::PathKind::Link) return "a symbolic link, which is not followed";
    if (osError == EISDIR) return "a folder, not a file";
    if (kind == platform::PathKind::Fifo) return "a FIFO, not a file";
    if (osError == ENODEV) return "not a regular file";
    return "cannot be opened: " + platform::OsErrorText(osError);
}

// The kept records of loose maps, copied aside into one unnamed temporary
// file so that each map is closed as soon as it is read: a maps folder of
// thousands of maps then holds no more files open than a game of two archives.
class LooseMapSpool {
public:
    explicit LooseMapSpool(std::string folder) : m_folder(std::move(folder)) {}

    // Copies the records of entries `first` onward (all from `map`) into the
    // spool and points the entries there. Throws platform::FileError.
    void Take(TextureTable& table, int first, platform::File& map, HarvestRecorder& recorder) {
        if (first < table.Count()) Open();
        for (int i = first; i < table.Count(); ++i) {
            TextureEntry& entry = table[static_cast<std::size_t>(i)];
            recorder.Remember(entry);
            // The harvest kept only records that lie whole in the map, so the
            // buffer never grows beyond what the file holds.
            m_buffer.resize(static_cast<std::size_t>(entry.size));
            if (!m_buffer.empty() && !ReadExactlyAt(map, entry.position, m_buffer.data(), m_buffer.size())) {
                throw platform::FileError(EIO, map.GetFilePath(), "the map has become shorter since it was read");
            }
            m_file.Seek(m_end);
            if (!m_buffer.empty()) m_file.Write(m_buffer.data(), m_buffer.size());
            entry.source = &m_file;
            entry.position = static_cast<std::int32_t>(m_end);
            m_end += entry.size;
        }
    }

private:
    void Open() {
        if (m_file.IsOpen()) return;
        if (!m_file.OpenScratch(m_folder, ".moxtrel-maps-")) {
            throw platform::FileError(m_file.LastOsError(), m_folder + ".moxtrel-maps-");
        }
    }

    std::string m_folder;
    platform::File m_file;
    std::int64_t m_end = 0;
    std::vector<unsigned char> m_buffer;
};

// Harvests PAK0.PAK and then PAK1.PAK, both already open.
void HarvestTwoArchives(SourceFiles& files, TextureTable& table, ExtractionSinks& sinks, HarvestRecorder& recorder) {
    // A harvest that shows "Invalid Pak file." leaves what was gathered so far,
    // and the run goes on with the other archive's textures.
    for (auto& pak : files) {
        recorder.BeginSource(pak->GetFilePath(), false);
        recorder.AddSource(*pak);
        HarvestPakTextures(*pak, table, sinks.messages, recorder);
    }
}

// Harvests every numbered archive in load order, then every loose map. A file
// that cannot be read, or an archive without its magic, is a warning and is
// passed over; the archives that hold kept textures stay open in `files`.
void HarvestAllSources(const std::vector<std::string>& archives, const LooseMaps& maps, SourceFiles& files,
                       LooseMapSpool& spool, TextureTable& table, ExtractionSinks& sinks, HarvestRecorder& recorder) {
    for (const std::string& path : archives) {
        auto pak = std::make_unique<platform::File>();
        std::string name = platform::NameOf(path);
        recorder.BeginSource(path, false);
        if (!pak->OpenRegularForReading(path)) {
            recorder.Warn(name, "", "the archive " + RefusalReason(pak->LastOsError(), path));
            continue;
        }
        recorder.AddSource(*pak);
        if (!HasPakMagic(*pak)) {
            recorder.Warn(name, "", "Invalid Pak file.");
            continue;
        }
        HarvestPakTextures(*pak, table, sinks.messages, recorder);
        files.push_back(std::move(pak));
    }
    for (const std::string& name : maps.names) {
        std::string path = maps.folderPath + name;
        auto map = std::make_unique<platform::File>();
        recorder.BeginSource(path, true);
        if (!map->OpenRegularForReading(path)) {
            recorder.Warn(maps.folderName, name, RefusalReason(map->LastOsError(), path));
            continue;
        }
        recorder.AddSource(*map);
        int before = table.Count();
        HarvestLooseMap(*map, table, recorder, maps.folderName);
        spool.Take(table, before, *map, recorder);
    }
}

// Writes the harvested table as the package and counts its textures.
WadSummary WritePackage(TextureTable& table, platform::FileReplacement& package, ExtractionSinks& sinks) {
    platform::File& wad = package.Output();
    std::int32_t directoryPosition = WriteWadLumps(wad, table, sinks.progress, sinks.status);
    WriteWadDirectory(wad, table, directoryPosition, sinks.progress, sinks.status);

    WadSummary summary;
    summary.total = table.Count();
    summary.length = wad.GetLength();
    CountAndFreeTextures(table, summary.animated, summary.simple);
    return summary;
}

RunResult Outcome(RunOutcome outcome) {
    RunResult result;
    result.outcome = outcome;
    return result;
}

// The name the user knows a file of the run by: the package's own name stands
// for its temporary file; other files lose their folder.
std::string NameForUser(const platform::FileReplacement& package, const std::string& path) {
    return platform::NameOf(path == package.TemporaryPath() ? package.Target() : path);
}

}  // namespace

std::string OutputPathProblem(const std::string& output) {
    if (platform::EndsWithSeparator(output) || platform::IsFolder(output)) return "it is a folder";
    if (!platform::IsFolder(platform::FolderOf(output))) return "its folder does not exist";
    return {};
}

namespace {

// The sources the run reads; false (after its message) when it cannot begin.
bool OpenSources(const ExtractionRequest& request, SourceFiles& files, std::vector<std::string>& archives,
                 LooseMaps& maps, ExtractionSinks& sinks) {
    if (request.allSources) {
        archives = FindNumberedArchives(request.gameDir);
        maps = FindLooseMaps(request.gameDir);
        if (archives.empty() && maps.names.empty()) {
            sinks.messages.ShowMessage("No archives or maps found in " + request.gameDir, ExtractionErrorCaption,
                                       MessageKind::Exclamation);
            return false;
        }
        return true;
    }
    for (const char* name : {"PAK0.PAK", "PAK1.PAK"}) {
        auto pak = std::make_unique<platform::File>();
        if (!pak->Open(name, platform::FileMode::ArchiveRead)) {
            std::string lower = name[3] == '0' ? "pak0.pak" : "pak1.pak";
            sinks.messages.ShowMessage("Could not open " + lower + " file.", FileIoCaption, MessageKind::Exclamation);
            return false;
        }
        files.push_back(std::move(pak));
    }
    return true;
}

}  // namespace

std::string PackageNameFor(int game) {
    const Game* known = FindGame(game);
    return known ? std::string(known->packageName) : std::string();
}

RunResult RunExtraction(const std::string& gameDir, int game, platform::Registry& registry, ExtractionSinks& sinks) {
    ExtractionRequest request;
    request.gameDir = gameDir;
    request.game = game;
    return RunExtraction(request, registry, sinks);
}

RunResult RunExtraction(const ExtractionRequest& request, platform::Registry& registry, ExtractionSinks& sinks) {
    if (!platform::SetCurrentDirectory(request.gameDir)) {
        sinks.messages.ShowMessage("Invalid file path", ExtractionErrorCaption, MessageKind::Plain);
        return Outcome(RunOutcome::Failed);
    }
    SourceFiles files;
    std::vector<std::string> archives;
    LooseMaps maps;
    if (!OpenSources(request, files, archives, maps, sinks)) return Outcome(RunOutcome::Failed);
    std::string packageName = PackageNameFor(request.game);
    if (packageName.empty()) return Outcome(RunOutcome::NotRun);

    const std::string& output = request.outputPath;
    if (!output.empty()) {
        if (std::string problem = OutputPathProblem(output); !problem.empty()) {
            sinks.messages.ShowMessage("Could not create wad file " + output + ": " + problem + ".", FileIoCaption,
                                       MessageKind::Exclamation);
            return Outcome(RunOutcome::Failed);
        }
    }
    // The package is written beside its place and replaces it only when
    // complete, so a run that fails never destroys an earlier package.
    platform::FileReplacement package;
    std::string target = output.empty() ? packageName : output;
    if (!package.Begin(target, "." + platform::NameOf(target) + ".part-")) {
        std::string text = output.empty() ? CreateFailedText
                                           : "Could not create wad file " + output + ": " +
                                                 platform::OsErrorText(package.LastOsError()) + ".";
        sinks.messages.ShowMessage(text, FileIoCaption, MessageKind::Exclamation);
        return Outcome(RunOutcome::Failed);
    }
    if (sinks.workStarted) sinks.workStarted();

    RunResult result;
    try {
        TextureTable table;
        LooseMapSpool spool(platform::FolderOf(output));
        HarvestRecorder recorder(request.report, sinks.warnings);
        recorder.Watch(table);
        if (request.allSources) {
            HarvestAllSources(archives, maps, files, spool, table, sinks, recorder);
        } else {
            HarvestTwoArchives(files, table, sinks, recorder);
        }
        recorder.RecordKept(table);
        result.summary = WritePackage(table, package, sinks);
        package.Commit();
    } catch (const platform::FileError& error) {
        std::string file = NameForUser(package, error.FileName());
        package.Discard();
        sinks.messages.ShowMessage("Error accessing " + file + ": " + error.OsErrorText(), FileIoCaption,
                                   MessageKind::Exclamation);
        return Outcome(RunOutcome::Abandoned);
    } catch (const std::bad_alloc&) {
        package.Discard();
        sinks.messages.ShowMessage("Not enough memory to extract the textures.", ExtractionErrorCaption,
                                   MessageKind::Exclamation);
        return Outcome(RunOutcome::Abandoned);
    }

    if (output.empty()) {
        result.summary.fileName = packageName;
        // The registry and other programs open the package under the spelling
        // the directory has on disk.
        std::string registeredDir = platform::WithTrailingSlash(platform::ResolvePathIgnoringCase(request.gameDir));
        result.registration = RegisterTexturePack(registry, request.game, registeredDir);
    } else {
        result.summary.fileName = platform::NameOf(output);
        result.registration = RegisterTexturePackAt(registry, request.game, output);
    }

    sinks.progress.SetPosition(0);
    sinks.status.SetStatus(ExtractionCompleteStatus);
    result.outcome = RunOutcome::Completed;
    return result;
}

}  // namespace moxtrel
