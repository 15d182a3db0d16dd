#include "extract/ExtractionRun.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "extract/Harvest.h"
#include "extract/Registration.h"
#include "extract/TextureTable.h"
#include "extract/WadWriter.h"
#include "formats/Pak.h"
#include "game/GameArchives.h"
#include "platform/File.h"
#include "platform/FileIdentity.h"
#include "platform/FileReplacement.h"
#include "platform/FsPath.h"
#include "platform/Paths.h"

namespace moxtrel {

namespace {

constexpr const char* FileIoCaption = "File IO error";
constexpr const char* ExtractionErrorCaption = "Extraction Error";
constexpr const char* InvalidPakText = "Invalid Pak file.";
constexpr const char* CreateFailedText = "Could not create wad file.";
constexpr const char* NothingReadText = "No textures could be read, so no package was written.";
// The two archives of the main dialog's run, opened in this order.
constexpr const char* TwoArchiveNames[] = {"PAK0.PAK", "PAK1.PAK"};

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

// Harvests PAK0.PAK and then PAK1.PAK, both already open; returns 2, the
// number of sources opened.
int HarvestTwoArchives(SourceFiles& files, TextureTable& table, ExtractionSinks& sinks, HarvestRecorder& recorder) {
    // A harvest that shows "Invalid Pak file." leaves what was gathered so far,
    // and the run goes on with the other archive's textures; the archive
    // counts as skipped.
    for (auto& pak : files) {
        recorder.BeginSource(pak->GetFilePath(), false);
        recorder.AddSource(*pak);
        if (!HarvestPakTextures(*pak, table, sinks.messages, recorder)) {
            recorder.Warn(pak->GetFileName(), "", InvalidPakText);
        }
    }
    return static_cast<int>(files.size());
}

// Harvests every numbered archive in load order, then every loose map. A file
// that cannot be read, or an archive without its magic, is a warning and is
// passed over; the archives that hold kept textures stay open in `files`.
// Returns the number of files that could be opened.
int HarvestAllSources(const std::vector<std::string>& archives, const LooseMaps& maps, SourceFiles& files,
                       LooseMapSpool& spool, TextureTable& table, ExtractionSinks& sinks, HarvestRecorder& recorder) {
    int opened = 0;
    for (const std::string& path : archives) {
        auto pak = std::make_unique<platform::File>();
        std::string name = platform::NameOf(path);
        recorder.BeginSource(path, false);
        if (!pak->OpenRegularForReading(path)) {
            recorder.Warn(name, "", "the archive " + RefusalReason(pak->LastOsError(), path));
            continue;
        }
        ++opened;
        recorder.AddSource(*pak);
        if (!HasPakMagic(*pak)) {
            recorder.Warn(name, "", InvalidPakText);
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
        ++opened;
        recorder.AddSource(*map);
        int before = table.Count();
        HarvestLooseMap(*map, table, recorder, maps.folderName);
        spool.Take(table, before, *map, recorder);
    }
    return opened;
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

void ShowNothingFound(const ExtractionRequest& request, ExtractionSinks& sinks) {
    sinks.messages.ShowMessage("No archives or maps found in " + request.gameDir, ExtractionErrorCaption,
                               MessageKind::Exclamation);
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

std::string SourceAt(const std::string& path, const std::vector<std::string>& sources) {
    // A name that differs from a source's in letter case alone is the source
    // on a file system that ignores case, and the games find it so everywhere.
    std::optional<platform::FileIdentity> written = platform::IdentityOf(path);
    if (!written) written = platform::IdentityOf(platform::ResolvePathIgnoringCase(path));
    if (!written) return {};
    for (const std::string& source : sources) {
        if (platform::IdentityOf(source) == written) return source;
    }
    return {};
}

namespace {

std::string Detail(const std::string& path, const std::string& reason) {
    return platform::AbsolutePath(path) + ": " + reason;
}

void ShowCreateFailed(ExtractionSinks& sinks, const std::string& path, const std::string& reason) {
    sinks.messages.ShowMessage(CreateFailedText, FileIoCaption, MessageKind::Exclamation, Detail(path, reason));
}

// Whether two outputs are one file: the same file on disk, or, before either
// exists, the same path once "." and ".." are taken out.
bool SameFileOrPath(const std::string& a, const std::string& b) {
    if (!SourceAt(a, {b}).empty()) return true;
    return platform::ToFsPath(a).lexically_normal() == platform::ToFsPath(b).lexically_normal();
}

// The files the run reads, as found when they were opened or listed: its two
// archives, or with allSources every numbered archive and every loose map.
std::vector<std::string> RunSources(const ExtractionRequest& request, const std::vector<std::string>& archives,
                                    const LooseMaps& maps) {
    if (!request.allSources) {
        std::vector<std::string> sources;
        for (const char* name : TwoArchiveNames) {
            sources.push_back(platform::ResolvePathIgnoringCase(platform::WithTrailingSlash(request.gameDir) + name));
        }
        return sources;
    }
    std::vector<std::string> sources = archives;
    for (const std::string& name : maps.names) sources.push_back(maps.folderPath + name);
    return sources;
}

// Refuses outputs that would replace one of the run's `sources`, or each
// other, before anything is written. False after its message.
bool OutputsSpareTheSources(const ExtractionRequest& request, const std::vector<std::string>& sources,
                            const std::string& package, ExtractionSinks& sinks) {
    if (std::string source = SourceAt(package, sources); !source.empty()) {
        ShowCreateFailed(sinks, package, "it is the source " + source + ", which is never written over");
        return false;
    }
    const std::string& report = request.reportPath;
    if (report.empty()) return true;
    std::string what;
    if (std::string source = SourceAt(report, sources); !source.empty()) {
        what = "the source " + source;
    } else if (SameFileOrPath(report, package)) {
        what = "the package " + package;
    }
    if (what.empty()) return true;
    sinks.messages.ShowMessage("Could not write the report.", FileIoCaption, MessageKind::Exclamation,
                               Detail(report, "it is " + what + ", which is never written over"));
    return false;
}

// The sources the run reads; false (after its message) when it cannot begin.
bool OpenSources(const ExtractionRequest& request, SourceFiles& files, std::vector<std::string>& archives,
                 LooseMaps& maps, ExtractionSinks& sinks) {
    if (request.allSources) {
        archives = FindNumberedArchives(request.gameDir);
        maps = FindLooseMaps(request.gameDir);
        if (archives.empty() && maps.names.empty()) {
            ShowNothingFound(request, sinks);
            return false;
        }
        return true;
    }
    for (const char* name : TwoArchiveNames) {
        auto pak = std::make_unique<platform::File>();
        if (!pak->Open(name, platform::FileMode::ArchiveRead)) {
            std::string lower = name[3] == '0' ? "pak0.pak" : "pak1.pak";
            sinks.messages.ShowMessage("Could not open " + lower + " file.", FileIoCaption, MessageKind::Exclamation,
                                       Detail(platform::ResolvePathIgnoringCase(name),
                                              platform::OsErrorText(pak->LastOsError())));
            return false;
        }
        files.push_back(std::move(pak));
    }
    return true;
}

// Says why a run that read no texture wrote nothing; the earlier package stays.
void ShowNothingRead(const ExtractionRequest& request, int sourcesOpened, const std::string& package,
                     ExtractionSinks& sinks) {
    if (request.allSources && sourcesOpened == 0) {
        ShowNothingFound(request, sinks);
        return;
    }
    sinks.messages.ShowMessage(NothingReadText, ExtractionErrorCaption, MessageKind::Exclamation,
                               Detail(package, "kept as it was"));
}

}  // namespace

std::string PackageNameFor(GameKind game) { return std::string(GameOf(game).packageName); }

RunResult RunExtraction(const std::string& gameDir, GameKind game, platform::Registry& registry,
                        ExtractionSinks& sinks) {
    ExtractionRequest request;
    request.gameDir = gameDir;
    request.game = game;
    return RunExtraction(request, registry, sinks);
}

RunResult RunExtraction(const ExtractionRequest& request, platform::Registry& registry, ExtractionSinks& sinks) {
    if (!platform::SetCurrentDirectory(request.gameDir)) {
        int error = errno;
        sinks.messages.ShowMessage("Invalid file path", ExtractionErrorCaption, MessageKind::Plain,
                                   request.gameDir + ": " + platform::OsErrorText(error));
        return Outcome(RunOutcome::Failed);
    }
    SourceFiles files;
    std::vector<std::string> archives;
    LooseMaps maps;
    if (!OpenSources(request, files, archives, maps, sinks)) return Outcome(RunOutcome::Failed);
    const std::string packageName = PackageNameFor(request.game);

    const std::string& output = request.outputPath;
    const std::string target = platform::AbsolutePath(output.empty() ? packageName : output);
    if (!output.empty()) {
        if (std::string problem = OutputPathProblem(output); !problem.empty()) {
            ShowCreateFailed(sinks, output, problem);
            return Outcome(RunOutcome::Failed);
        }
    }
    if (!OutputsSpareTheSources(request, RunSources(request, archives, maps), target, sinks)) {
        return Outcome(RunOutcome::Failed);
    }
    // The package is written beside its place and replaces it only when
    // complete, so a run that fails never destroys an earlier package.
    platform::FileReplacement package;
    if (!package.Begin(target, platform::PartFilePrefix(target))) {
        std::string reason = platform::OsErrorText(package.LastOsError());
        if (!request.packageHint.empty()) reason += "; " + request.packageHint;
        ShowCreateFailed(sinks, target, reason);
        return Outcome(RunOutcome::Failed);
    }
    if (sinks.workStarted) sinks.workStarted();

    RunResult result;
    try {
        TextureTable table;
        LooseMapSpool spool(platform::FolderOf(target));
        HarvestRecorder recorder(request.report, sinks.warnings);
        recorder.Watch(table);
        int sourcesOpened = request.allSources ? HarvestAllSources(archives, maps, files, spool, table, sinks, recorder)
                                               : HarvestTwoArchives(files, table, sinks, recorder);
        result.skipped = recorder.Skipped();
        // Skipped data and nothing kept: a package of no textures would only
        // replace a good one.
        if (table.Count() == 0 && (result.skipped.Any() || sourcesOpened == 0)) {
            package.Discard();
            ShowNothingRead(request, sourcesOpened, target, sinks);
            return Outcome(RunOutcome::Abandoned);
        }
        recorder.RecordKept(table);
        result.summary = WritePackage(table, package, sinks);
        package.Commit();
    } catch (const platform::FileError& error) {
        std::string file = NameForUser(package, error.FileName());
        std::string path = error.FileName() == package.TemporaryPath() ? target : error.FileName();
        package.Discard();
        sinks.messages.ShowMessage("Error accessing " + file + ": " + error.OsErrorText(), FileIoCaption,
                                   MessageKind::Exclamation, platform::AbsolutePath(path));
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
        // A package of its own name takes a slot of its own, so packages
        // written side by side (a game's and a mission pack's) are all listed.
        result.registration = RegisterTexturePackAt(registry, output, platform::NameOf(output));
    }

    sinks.progress.SetPosition(0);
    sinks.status.SetStatus(ExtractionCompleteStatus);
    result.outcome = RunOutcome::Completed;
    return result;
}

}  // namespace moxtrel
