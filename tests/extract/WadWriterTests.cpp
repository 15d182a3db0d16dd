#include <gtest/gtest.h>

#include "extract/Harvest.h"
#include "extract/WadWriter.h"
#include "platform/File.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"

namespace moxtrel {
namespace {

using fixtures::Bytes;
using fixtures::MakeMiptex;
using fixtures::ReadInt32;
using test::RecordingSinks;
using test::TempDir;

// Harvests one archive made of `maps` and writes its package.
class WadWriter : public ::testing::Test {
protected:
    Bytes WritePackage(const std::vector<std::vector<std::optional<Bytes>>>& maps, std::size_t padding = 0) {
        std::vector<fixtures::PakMember> members;
        for (std::size_t i = 0; i < maps.size(); ++i) {
            members.push_back({"maps/m" + std::to_string(i) + ".bsp",
                               fixtures::MakeBsp(fixtures::MakeTextureLump(maps[i], padding))});
        }
        fixtures::WriteBytes((dir / "PAK0.PAK").string(), fixtures::MakePak(members));
        EXPECT_TRUE(pak.Open((dir / "PAK0.PAK").string(), platform::FileMode::ArchiveRead));
        EXPECT_TRUE(HarvestPakTextures(pak, table, sinks, sinks));

        platform::File wad;
        EXPECT_TRUE(wad.Open((dir / "Quake.wad").string(), platform::FileMode::PackageWrite));
        directoryPosition = WriteWadLumps(wad, table, sinks, sinks);
        WriteWadDirectory(wad, table, directoryPosition, sinks, sinks);
        wad.Close();
        return fixtures::ReadBytes((dir / "Quake.wad").string());
    }

    TempDir dir;
    platform::File pak;
    TextureTable table;
    RecordingSinks sinks;
    std::int32_t directoryPosition = -1;
};

TEST_F(WadWriter, EmptyTableGivesATwelveByteFile) {
    Bytes wad = WritePackage({});
    ASSERT_EQ(wad.size(), 12u);
    EXPECT_EQ(std::string(wad.begin(), wad.begin() + 4), "WAD2");
    EXPECT_EQ(ReadInt32(wad, 4), 0);
    EXPECT_EQ(ReadInt32(wad, 8), 12);
    EXPECT_EQ(sinks.ranges, std::vector<int>{0});
}

TEST_F(WadWriter, LumpsAreTheRecordsBackToBackFollowedByTheDirectory) {
    Bytes a = MakeMiptex(fixtures::MakeName16("a", "\x7f junk"), 16, 8, 1);
    Bytes b = MakeMiptex("+0flame", 8, 8, 2);
    Bytes c = MakeMiptex("sixteen_chars_no", 8, 16, 3);
    Bytes wad = WritePackage({{a, std::nullopt, b}, {c}}, 5);

    const std::vector<Bytes> records = {a, b, c};
    std::int64_t expectedLength = 12;
    for (const Bytes& r : records) expectedLength += static_cast<std::int64_t>(r.size() + 5) + 32;
    ASSERT_EQ(static_cast<std::int64_t>(wad.size()), expectedLength);
    EXPECT_EQ(ReadInt32(wad, 4), 3);

    std::size_t directory = static_cast<std::size_t>(ReadInt32(wad, 8));
    EXPECT_EQ(static_cast<std::int32_t>(directory), directoryPosition);
    std::size_t lump = 12;
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::size_t entry = directory + 32 * i;
        auto size = static_cast<std::size_t>(records[i].size() + 5);
        EXPECT_EQ(ReadInt32(wad, entry), static_cast<std::int32_t>(lump)) << i;
        EXPECT_EQ(ReadInt32(wad, entry + 4), static_cast<std::int32_t>(size));
        EXPECT_EQ(ReadInt32(wad, entry + 8), static_cast<std::int32_t>(size));
        EXPECT_EQ(wad[entry + 12], 0x44);
        EXPECT_EQ(wad[entry + 13], 0);
        EXPECT_EQ(wad[entry + 14], 0);
        EXPECT_EQ(wad[entry + 15], 0);
        // The name goes out with whatever followed its NUL in the archive.
        EXPECT_TRUE(std::equal(records[i].begin(), records[i].begin() + 16, wad.begin() + static_cast<std::ptrdiff_t>(entry + 16)));
        // The lump is the record copied unchanged, with the bytes up to the next texture.
        EXPECT_TRUE(std::equal(records[i].begin(), records[i].end(), wad.begin() + static_cast<std::ptrdiff_t>(lump)));
        EXPECT_EQ(wad[lump + records[i].size()], 0xCD);
        lump += size;
    }
    EXPECT_EQ(lump, directory);
}

TEST_F(WadWriter, ProgressTakesThreeStepsPerTextureAndStatusFollowsTheWork) {
    WritePackage({{MakeMiptex("a", 8, 8, 1), MakeMiptex("b", 8, 8, 2)}});
    EXPECT_EQ(sinks.ranges, std::vector<int>{6});
    EXPECT_EQ(sinks.positions, std::vector<int>{0});
    EXPECT_EQ(sinks.steps, 6);
    EXPECT_EQ(sinks.statuses, (std::vector<std::string>{ExtractingStatus, WritingDirectoryStatus, WritingDirectoryStatus}));
}

TEST_F(WadWriter, ZeroSizeTextureGetsAnEmptyLump) {
    // Slots [o, o, o + record]: "shared" twice at one offset (the first keeps
    // size 0, the second is its duplicate), then "other".
    Bytes record = MakeMiptex("shared", 8, 8, 1);
    Bytes other = MakeMiptex("other", 8, 8, 2);
    Bytes body = record;
    body.insert(body.end(), other.begin(), other.end());
    const std::int32_t o = 16;
    Bytes lump = fixtures::MakeRawTextureLump({o, o, o + static_cast<std::int32_t>(record.size())}, body);
    fixtures::WriteBytes((dir / "PAK0.PAK").string(), fixtures::MakePak({{"maps/z.bsp", fixtures::MakeBsp(lump)}}));
    ASSERT_TRUE(pak.Open((dir / "PAK0.PAK").string(), platform::FileMode::ArchiveRead));
    ASSERT_TRUE(HarvestPakTextures(pak, table, sinks, sinks));
    ASSERT_EQ(table.Count(), 2);

    platform::File wad;
    ASSERT_TRUE(wad.Open((dir / "Quake.wad").string(), platform::FileMode::PackageWrite));
    std::int32_t d = WriteWadLumps(wad, table, sinks, sinks);
    WriteWadDirectory(wad, table, d, sinks, sinks);
    wad.Close();
    Bytes bytes = fixtures::ReadBytes((dir / "Quake.wad").string());
    auto at = static_cast<std::size_t>(d);
    EXPECT_EQ(ReadInt32(bytes, at), 12) << "an empty lump sits at the current end of the lump data";
    EXPECT_EQ(ReadInt32(bytes, at + 4), 0);
    EXPECT_EQ(ReadInt32(bytes, at + 32), 12);
    EXPECT_EQ(d, 12 + static_cast<std::int32_t>(other.size()));
}

TEST_F(WadWriter, CountsPlusAndStarNamesAsAnimatedAndEmptiesTheTable) {
    WritePackage({{MakeMiptex("+0lava", 8, 8, 1), MakeMiptex("*water1", 8, 8, 2), MakeMiptex("sky4", 8, 8, 3),
                   MakeMiptex("-odd", 8, 8, 4), MakeMiptex("+afire", 8, 8, 5)}});
    int animated = 0, simple = 0;
    CountAndFreeTextures(table, animated, simple);
    EXPECT_EQ(animated, 3);
    EXPECT_EQ(simple, 2);
    EXPECT_EQ(table.Count(), 0);
}

}  // namespace
}  // namespace moxtrel
