#pragma once
// What a run read and what became of every texture it met: the files read in
// order, each texture kept (in package order) with where its record lies,
// each later finding of a kept name with whether its bytes are the same, and
// each map or texture skipped with the words of its warning. moxtrel-cli
// writes it as the run's report.

#include <cstdint>
#include <optional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "extract/TextureTable.h"
#include "platform/Sinks.h"

namespace moxtrel {

// An archive's map, or a loose map (member empty).
struct ReportLocation {
    std::string source;  // the archive's or loose map's path
    std::string member;  // the map's name inside the archive
    bool looseMap = false;
};

struct ReportSource {
    std::string path;
    std::int64_t size = 0;
};

struct ReportTexture {
    TextureName name{};
    ReportLocation where;
    std::int64_t position = 0;  // of the record in its source
    std::int64_t size = 0;
    std::optional<std::int32_t> width;  // when the record is long enough to hold them
    std::optional<std::int32_t> height;
};

struct ReportRepeat {
    ReportTexture found;
    bool sameBytes = false;  // the record's bytes equal the kept record's
};

struct ReportSkip {
    ReportLocation where;
    std::string what;  // the words of the warning
};

struct HarvestReport {
    std::vector<ReportSource> sources;
    std::vector<ReportTexture> textures;
    std::vector<ReportRepeat> repeats;
    std::vector<ReportSkip> skipped;
};

// What a run passed over because it was damaged or could not be read.
struct SkippedData {
    int archives = 0;  // whole archives or loose map files, or parts of an archive's directory
    int maps = 0;
    int textures = 0;
    std::vector<std::string> first;  // the first few warnings, in their words

    // How many warnings `first` keeps for the user to read.
    static constexpr std::size_t Listed = 5;
    bool Any() const { return archives + maps + textures > 0; }
};

// The words of the warning box shown after a run that skipped data: how many
// archives, maps and textures, then the first few warnings one a line.
std::string DescribeSkippedData(const SkippedData& skipped);

// Fills a HarvestReport while a run harvests, passing every warning on to the
// run's own sink. Without a report it only passes warnings on.
class HarvestRecorder : public WarningSink {
public:
    HarvestRecorder(HarvestReport* report, WarningSink& forward) : m_report(report), m_forward(forward) {}

    // The file whose maps are harvested next: skips are told against it.
    void BeginSource(const std::string& path, bool looseMap);
    // The file was read: it joins the report's sources.
    void AddSource(const platform::File& file);
    // Records each later finding of a name the table keeps.
    void Watch(TextureTable& table);
    // Notes where a kept texture was found before its record is moved aside.
    void Remember(const TextureEntry& entry);
    // Records the kept textures, in table order, while their positions are
    // still those in their sources (the package writer replaces them).
    void RecordKept(const TextureTable& table);

    void Warn(const std::string& archive, const std::string& map, const std::string& what) override;
    // Everything warned of so far.
    const SkippedData& Skipped() const { return m_skipped; }

private:
    ReportTexture Describe(const TextureEntry& entry) const;

    HarvestReport* m_report;
    WarningSink& m_forward;
    ReportLocation m_current;
    SkippedData m_skipped;
    std::set<const platform::File*> m_looseMaps;
    std::map<std::string, ReportTexture> m_remembered;  // by name
};

}  // namespace moxtrel
