#include "extract/ExtractionRun.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <unistd.h>

#include "extract/Harvest.h"
#include "extract/Registration.h"
#include "extract/TextureTable.h"
#include "extract/WadWriter.h"
#include "platform/File.h"

namespace moxtrel {

namespace {

constexpr const char* FileIoCaption = "File IO error";
constexpr const char* ExtractionErrorCaption = "Extraction Error";

// The package under construction: a temporary file beside the archives that
// becomes the package only when it is complete, so a run that fails never
// destroys the package a previous run wrote.
class PendingPackage {
public:
    explicit PendingPackage(std::string packageName) : m_packageName(std::move(packageName)) {}
    ~PendingPackage() { Discard(); }

    bool Create() { return m_file.OpenTemporary("", "." + m_packageName + ".part-"); }
    int LastOsError() const { return m_file.LastOsError(); }
    platform::File& File() { return m_file; }

    // Makes the written file the package, replacing any earlier one.
    void Commit() {
        m_file.Flush();
        std::string temporary = m_file.GetFilePath();
        m_file.Close();
        if (std::rename(temporary.c_str(), m_packageName.c_str()) != 0) {
            throw platform::FileError(errno, m_packageName);
        }
        m_committed = true;
        SyncCurrentDirectory();
    }

    // Removes the temporary file unless it became the package.
    void Discard() noexcept {
        if (m_committed || m_file.GetFilePath().empty()) return;
        std::string temporary = m_file.GetFilePath();
        try {
            m_file.Close();
        } catch (const platform::FileError&) {
        }
        std::remove(temporary.c_str());
        m_committed = true;
    }

    // The name the user knows a file of the run by: the package's own name
    // stands for its temporary file.
    std::string NameForUser(const std::string& path) const {
        if (!m_committed && path == m_file.GetFilePath()) return m_packageName;
        std::size_t slash = path.find_last_of('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }

private:
    // Makes the rename itself durable, so the package survives a power cut.
    static void SyncCurrentDirectory() {
        int fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return;
        ::fsync(fd);
        ::close(fd);
    }

    std::string m_packageName;
    platform::File m_file;
    bool m_committed = false;
};

// Harvests both archives, writes the package and counts its textures.
WadSummary BuildPackage(platform::File& pak0, platform::File& pak1, PendingPackage& package,
                        ExtractionSinks& sinks) {
    TextureTable table;
    // A harvest that shows "Invalid Pak file." leaves what was gathered so far,
    // and the run goes on with the other archive's textures.
    HarvestPakTextures(pak0, table, sinks.messages, sinks.warnings);
    HarvestPakTextures(pak1, table, sinks.messages, sinks.warnings);

    platform::File& wad = package.File();
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

}  // namespace

std::string PackageNameFor(int game) {
    switch (game) {
        case GameQuake: return "Quake.wad";
        case GameHexen2: return "Hexen.wad";
        default: return {};
    }
}

RunResult RunExtraction(const std::string& gameDir, int game, ExtractionSinks& sinks) {
    if (!platform::SetCurrentDirectory(gameDir)) {
        sinks.messages.ShowMessage("Invalid file path", ExtractionErrorCaption, MessageKind::Plain);
        return Outcome(RunOutcome::Failed);
    }
    platform::File pak0;
    if (!pak0.Open("PAK0.PAK", platform::FileMode::ArchiveRead)) {
        sinks.messages.ShowMessage("Could not open pak0.pak file.", FileIoCaption, MessageKind::Exclamation);
        return Outcome(RunOutcome::Failed);
    }
    platform::File pak1;
    if (!pak1.Open("PAK1.PAK", platform::FileMode::ArchiveRead)) {
        sinks.messages.ShowMessage("Could not open pak1.pak file.", FileIoCaption, MessageKind::Exclamation);
        return Outcome(RunOutcome::Failed);
    }
    std::string packageName = PackageNameFor(game);
    if (packageName.empty()) return Outcome(RunOutcome::NotRun);

    PendingPackage package(packageName);
    if (!package.Create()) {
        sinks.messages.ShowMessage("Could not create wad file.", FileIoCaption, MessageKind::Exclamation);
        return Outcome(RunOutcome::Failed);
    }
    if (sinks.workStarted) sinks.workStarted();

    RunResult result;
    try {
        result.summary = BuildPackage(pak0, pak1, package, sinks);
        package.Commit();
    } catch (const platform::FileError& error) {
        std::string file = package.NameForUser(error.FileName());
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
    result.summary.fileName = packageName;

    // The registry and other programs open the package under the spelling the
    // directory has on disk.
    std::string registeredDir = platform::ResolvePathIgnoringCase(gameDir);
    if (registeredDir.empty() || registeredDir.back() != '/') registeredDir += '/';
    RegisterTexturePack(game, registeredDir);

    sinks.progress.SetPosition(0);
    sinks.status.SetStatus(ExtractionCompleteStatus);
    result.outcome = RunOutcome::Completed;
    return result;
}

}  // namespace moxtrel
