// Replays the fuzzing seeds and every input kept from a fuzzing find through
// the same entry points the fuzzers call, so a fixed fault stays fixed
// without running the fuzzers.

#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/FuzzTargets.h"
#include "tools/GameWriter.h"

namespace moxtrel {
namespace {

namespace fs = std::filesystem;

struct FuzzTarget {
    const char* name;  // the folder of its inputs under fuzz/corpus and fuzz/regressions
    std::string (*entry)(const std::uint8_t*, std::size_t);
};

void PrintTo(const FuzzTarget& target, std::ostream* out) {
    *out << target.name;
}

class FuzzInputs : public ::testing::TestWithParam<FuzzTarget> {};

std::vector<fs::path> InputsIn(const fs::path& folder) {
    std::vector<fs::path> inputs;
    if (!fs::is_directory(folder)) return inputs;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.') inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

TEST_P(FuzzInputs, SeedsAndKeptInputsPassEveryCheck) {
    const fs::path fuzz = MOXTREL_FUZZ_DIR;
    std::vector<fs::path> seeds = InputsIn(fuzz / "corpus" / GetParam().name);
    EXPECT_FALSE(seeds.empty()) << "the seed corpus is checked in";
    std::vector<fs::path> inputs = InputsIn(fuzz / "regressions" / GetParam().name);
    inputs.insert(inputs.end(), seeds.begin(), seeds.end());
    for (const fs::path& input : inputs) {
        fixtures::Bytes bytes = fixtures::ReadBytes(input.string());
        EXPECT_EQ(GetParam().entry(bytes.data(), bytes.size()), "") << input.string();
    }
}

const FuzzTarget Targets[] = {
    {"harvest", fuzz::HarvestArchive},
    {"registry", fuzz::ParseRegistryText},
    {"drive_map", fuzz::ParseDriveMapText},
    {"wad_reader", fuzz::ReadPackageFile},
#ifndef MOXTREL_WITHOUT_PREVIEW
    {"preview", fuzz::DrawPackageSheet},
#endif
#ifndef MOXTREL_WITHOUT_PICTURES
    {"pack_picture", fuzz::MakeTextureOfPicture},
    {"export_pictures", fuzz::ExportTexturesAsPictures},
#endif
};

// Numbered by gtest; ctest names each case by its PrintTo.
INSTANTIATE_TEST_SUITE_P(Fuzz, FuzzInputs, ::testing::ValuesIn(Targets));

}  // namespace
}  // namespace moxtrel
