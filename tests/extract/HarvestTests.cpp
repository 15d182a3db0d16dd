#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "extract/Harvest.h"
#include "platform/File.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"

namespace moxtrel {
namespace {

using fixtures::Bytes;
using fixtures::MakeBsp;
using fixtures::MakeMiptex;
using fixtures::MakePak;
using fixtures::MakeTextureLump;
using test::RecordingSinks;
using test::TempDir;

// An archive written to disk and opened as the run opens it.
struct OpenArchive {
    OpenArchive(const TempDir& dir, const std::string& name, const Bytes& content) : bytes(content) {
        fixtures::WriteBytes((dir / name).string(), bytes);
        EXPECT_TRUE(file.Open((dir / name).string(), platform::FileMode::ArchiveRead));
    }
    // Where `record` lies in the archive.
    std::int32_t PositionOf(const Bytes& record) const {
        auto it = std::search(bytes.begin(), bytes.end(), record.begin(), record.end());
        return it == bytes.end() ? -1 : static_cast<std::int32_t>(it - bytes.begin());
    }
    Bytes bytes;
    platform::File file;
};

Bytes MapOf(const std::vector<std::optional<Bytes>>& slots) {
    return MakeBsp(MakeTextureLump(slots));
}

std::vector<std::string> Names(const TextureTable& table) {
    std::vector<std::string> names;
    for (const auto& entry : table) names.push_back(ComparableName(entry.name));
    return names;
}

class Harvest : public ::testing::Test {
protected:
    bool HarvestInto(OpenArchive& archive) { return HarvestPakTextures(archive.file, table, sinks, sinks); }

    TempDir dir;
    TextureTable table;
    RecordingSinks sinks;
};

TEST(IsBspEntry, AcceptsOnlyTheExactEndingAfterTheFirstDot) {
    struct Case {
        const char* name;
        bool isMap;
    };
    const Case cases[] = {
        {"maps/e1m1.bsp", true},       {"e1m1.bsp", true},         {"maps/E1M1.BSP", false},
        {"maps/e1m1.Bsp", false},      {"maps/e1m1.bsp.bak", false}, {"maps.v2/e1m1.bsp", false},
        {"maps/e1m1", false},          {"maps/e1m1.bspx", false},  {".bsp", true},
        {"maps/e1m1.mdl", false},
    };
    for (const Case& c : cases) {
        char entry[56] = {};
        std::strncpy(entry, c.name, sizeof entry - 1);
        EXPECT_EQ(IsBspEntry(entry, "bsp"), c.isMap) << c.name;
    }
    char full[56];
    std::memset(full, 'a', sizeof full);
    EXPECT_FALSE(IsBspEntry(full, "bsp")) << "a name without a dot in its 56 bytes";
}

TEST_F(Harvest, RecordsEveryMapsTexturesInDirectoryAndLumpOrder) {
    Bytes brick = MakeMiptex("brick1", 16, 16, 1);
    Bytes wood = MakeMiptex("wood2", 32, 16, 2);
    Bytes lava = MakeMiptex("*lava1", 16, 16, 3);
    OpenArchive pak(dir, "PAK0.PAK",
                    MakePak({{"maps/e1m2.bsp", MapOf({wood, lava})},
                             {"progs/player.mdl", Bytes(300, 9)},
                             {"maps/e1m1.bsp", MapOf({brick})}}));
    ASSERT_TRUE(HarvestInto(pak));
    EXPECT_EQ(Names(table), (std::vector<std::string>{"wood2", "*lava1", "brick1"}));
    EXPECT_EQ(table[0].position, pak.PositionOf(wood));
    EXPECT_EQ(table[0].size, static_cast<std::int32_t>(wood.size()));
    EXPECT_EQ(table[1].size, static_cast<std::int32_t>(lava.size())) << "the last texture spans to the lump's end";
    EXPECT_EQ(table[2].position, pak.PositionOf(brick));
    EXPECT_EQ(table[2].source, &pak.file);
    EXPECT_TRUE(sinks.messages.empty());
    EXPECT_TRUE(sinks.warnings.empty());
}

TEST_F(Harvest, DirectoryLengthIsCountedInWholeEntries) {
    Bytes map = MapOf({MakeMiptex("a", 8, 8, 1)});
    Bytes pak = MakePak({{"maps/a.bsp", map}, {"maps/b.bsp", MapOf({MakeMiptex("b", 8, 8, 2)})}});
    fixtures::PatchInt32(pak, 8, 63);
    OpenArchive below(dir, "below.pak", pak);
    EXPECT_TRUE(HarvestInto(below));
    EXPECT_TRUE(table.Empty());

    fixtures::PatchInt32(pak, 8, 100);
    OpenArchive oneAndABit(dir, "one.pak", pak);
    EXPECT_TRUE(HarvestInto(oneAndABit));
    EXPECT_EQ(Names(table), std::vector<std::string>{"a"});
    EXPECT_TRUE(sinks.warnings.empty());
}

TEST_F(Harvest, EmptySlotsAreDroppedAndSizesComeFromNeighbouringOffsets) {
    Bytes first = MakeMiptex("first", 8, 8, 1);
    Bytes second = MakeMiptex("second", 8, 8, 2);
    // Offsets [a, -1, -1, b], and 20 bytes after each record as old compilers left them.
    OpenArchive pak(dir, "PAK0.PAK",
                    MakePak({{"maps/m.bsp", MakeBsp(MakeTextureLump({first, std::nullopt, std::nullopt, second}, 20))},
                             {"maps/none.bsp", MapOf({std::nullopt, std::nullopt})},
                             {"maps/zero.bsp", MapOf({})}}));
    ASSERT_TRUE(HarvestInto(pak));
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(table[0].size, static_cast<std::int32_t>(first.size() + 20));
    EXPECT_EQ(table[1].size, static_cast<std::int32_t>(second.size() + 20));
    EXPECT_TRUE(sinks.warnings.empty());
}

TEST_F(Harvest, TwoTexturesAtOneOffsetGiveTheFirstSizeZero) {
    Bytes record = MakeMiptex("shared", 8, 8, 1);
    Bytes lump = fixtures::MakeRawTextureLump({12, 12}, record);
    OpenArchive pak(dir, "PAK0.PAK", MakePak({{"maps/m.bsp", MakeBsp(lump)}}));
    ASSERT_TRUE(HarvestInto(pak));
    // Both slots name the same record, so the second is a duplicate.
    ASSERT_EQ(table.Count(), 1);
    EXPECT_EQ(table[0].size, 0);
}

TEST_F(Harvest, FirstFindingOfANameWinsAcrossMapsAndArchives) {
    Bytes early = MakeMiptex("wall", 8, 8, 1);
    Bytes lateSameMap = MakeMiptex("wall", 16, 16, 2);
    Bytes upper = MakeMiptex("WALL", 8, 8, 3);
    // Same visible name, different bytes after the NUL: still the same texture.
    Bytes garbage = MakeMiptex(fixtures::MakeName16("wall", "xyz"), 8, 8, 4);
    OpenArchive pak0(dir, "PAK0.PAK", MakePak({{"maps/a.bsp", MapOf({early, lateSameMap, upper})}}));
    OpenArchive pak1(dir, "PAK1.PAK", MakePak({{"maps/b.bsp", MapOf({garbage, MakeMiptex("new", 8, 8, 5)})}}));
    ASSERT_TRUE(HarvestInto(pak0));
    ASSERT_TRUE(HarvestInto(pak1));
    EXPECT_EQ(Names(table), (std::vector<std::string>{"wall", "WALL", "new"}));
    EXPECT_EQ(table[0].position, pak0.PositionOf(early));
    EXPECT_EQ(table[0].source, &pak0.file);
    EXPECT_EQ(table[2].source, &pak1.file);
}

TEST_F(Harvest, AWarningShowsEachNameByteOutsidePrintableAsciiAsHex) {
    Bytes map = MapOf({MakeMiptex("kept", 8, 8, 1), MakeMiptex("caf\xE9\x1B~\\", 8, 8, 2)});
    // Swapped offsets: the record read first begins after the next one.
    std::size_t offsets = static_cast<std::size_t>(fixtures::ReadInt32(map, 20)) + 4;
    std::int32_t first = fixtures::ReadInt32(map, offsets);
    fixtures::PatchInt32(map, offsets, fixtures::ReadInt32(map, offsets + 4));
    fixtures::PatchInt32(map, offsets + 4, first);
    OpenArchive pak(dir, "PAK0.PAK", MakePak({{"maps/m.bsp", map}}));
    EXPECT_TRUE(HarvestInto(pak));
    ASSERT_EQ(sinks.warnings.size(), 1u);
    EXPECT_THAT(sinks.warnings[0].what, ::testing::StartsWith("texture caf\\xE9\\x1B~\\: the offsets do not ascend"));
}

TEST_F(Harvest, InvalidMagicShowsTheMessageAndLeavesTheTableAlone) {
    OpenArchive good(dir, "PAK1.PAK", MakePak({{"maps/a.bsp", MapOf({MakeMiptex("a", 8, 8, 1)})}}));
    ASSERT_TRUE(HarvestInto(good));
    Bytes bad = MakePak({{"maps/b.bsp", MapOf({MakeMiptex("b", 8, 8, 1)})}});
    bad[0] = 'Q';
    OpenArchive invalid(dir, "PAK0.PAK", bad);
    EXPECT_FALSE(HarvestInto(invalid));
    ASSERT_EQ(sinks.messages.size(), 1u);
    EXPECT_EQ(sinks.messages[0].text, "Invalid Pak file.");
    EXPECT_EQ(sinks.messages[0].caption, "File IO Error");
    EXPECT_EQ(sinks.messages[0].kind, MessageKind::Exclamation);
    EXPECT_EQ(Names(table), std::vector<std::string>{"a"});

    OpenArchive empty(dir, "empty.pak", Bytes{});
    EXPECT_FALSE(HarvestInto(empty));
}

TEST_F(Harvest, MapVersionIsNeverLookedAt) {
    OpenArchive pak(dir, "PAK0.PAK",
                    MakePak({{"maps/a.bsp", MakeBsp(MakeTextureLump({MakeMiptex("a", 8, 8, 1)}), -12345)}}));
    ASSERT_TRUE(HarvestInto(pak));
    EXPECT_EQ(table.Count(), 1);
}

TEST_F(Harvest, TableGrowsPastEightHundredTextures) {
    std::vector<fixtures::PakMember> maps;
    for (int m = 0; m < 9; ++m) {
        std::vector<std::optional<Bytes>> slots;
        for (int t = 0; t < 100; ++t) slots.push_back(MakeMiptex("t" + std::to_string(m * 100 + t), 8, 8, 1));
        maps.push_back({"maps/m" + std::to_string(m) + ".bsp", MapOf(slots)});
    }
    OpenArchive pak(dir, "PAK0.PAK", MakePak(maps));
    ASSERT_TRUE(HarvestInto(pak));
    ASSERT_EQ(table.Count(), 900);
    EXPECT_EQ(ComparableName(table[899].name), "t899");
}

// Malformed archives: the bad map or texture is skipped with a warning, the
// rest is harvested, nothing is read outside the archive or the lump.
struct MalformedCase {
    const char* rule;
    std::function<void(Bytes& pak, std::size_t badMap)> damage;
    std::vector<std::string> expectedNames;
};

void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.rule;
}

// The archive: map "good" first, then map "bad" holding textures x, y, z.
class MalformedArchive : public Harvest, public ::testing::WithParamInterface<MalformedCase> {};

Bytes GoodThenBad(std::size_t& badMapPosition, std::size_t& badLumpPosition) {
    Bytes good = MapOf({MakeMiptex("good", 8, 8, 1)});
    Bytes bad = MapOf({MakeMiptex("x", 8, 8, 2), MakeMiptex("y", 8, 8, 3), MakeMiptex("z", 8, 8, 4)});
    Bytes pak = MakePak({{"maps/good.bsp", good}, {"maps/bad.bsp", bad}});
    badMapPosition = 12 + good.size();
    badLumpPosition = badMapPosition + static_cast<std::size_t>(fixtures::ReadInt32(bad, 20));
    return pak;
}

TEST_P(MalformedArchive, SkipsWhatDoesNotFitAndKeepsTheRest) {
    std::size_t badMap = 0, badLump = 0;
    Bytes bytes = GoodThenBad(badMap, badLump);
    (void)badLump;
    GetParam().damage(bytes, badMap);
    OpenArchive pak(dir, "PAK0.PAK", bytes);
    EXPECT_TRUE(HarvestInto(pak));
    EXPECT_EQ(Names(table), GetParam().expectedNames) << GetParam().rule;
    EXPECT_FALSE(sinks.warnings.empty()) << GetParam().rule;
    for (const auto& warning : sinks.warnings) EXPECT_EQ(warning.archive, "PAK0.PAK");
    for (const auto& entry : table) {
        EXPECT_GE(entry.size, 0);
        EXPECT_LE(static_cast<std::size_t>(entry.position) + static_cast<std::size_t>(entry.size), bytes.size());
    }
}

std::size_t LumpOf(const Bytes& pak, std::size_t map) {
    return map + static_cast<std::size_t>(fixtures::ReadInt32(pak, map + 20));
}
std::size_t DirectoryOf(const Bytes& pak) {
    return static_cast<std::size_t>(fixtures::ReadInt32(pak, 4));
}

INSTANTIATE_TEST_SUITE_P(
    Harvest, MalformedArchive,
    ::testing::Values(
        MalformedCase{"directory position beyond the end",
                      [](Bytes& p, std::size_t) { fixtures::PatchInt32(p, 4, 1 << 30); }, {}},
        MalformedCase{"negative directory length",
                      [](Bytes& p, std::size_t) { fixtures::PatchInt32(p, 8, -64); }, {}},
        MalformedCase{"directory longer than the archive keeps the entries that are there",
                      [](Bytes& p, std::size_t) { fixtures::PatchInt32(p, 8, 64 * 1000000); }, {"good", "x", "y", "z"}},
        MalformedCase{"map position beyond the end",
                      [](Bytes& p, std::size_t) { fixtures::PatchInt32(p, DirectoryOf(p) + 64 + 56, 0x7FFFFFF0); },
                      {"good"}},
        MalformedCase{"negative map position",
                      [](Bytes& p, std::size_t) { fixtures::PatchInt32(p, DirectoryOf(p) + 64 + 56, -8); }, {"good"}},
        MalformedCase{"texture lump beyond the end",
                      [](Bytes& p, std::size_t m) { fixtures::PatchInt32(p, m + 20, 0x7FFFFF00); }, {"good"}},
        MalformedCase{"negative texture lump position",
                      [](Bytes& p, std::size_t m) { fixtures::PatchInt32(p, m + 20, -100000); }, {"good"}},
        MalformedCase{"huge texture count",
                      [](Bytes& p, std::size_t m) { fixtures::PatchInt32(p, LumpOf(p, m), 0x7FFFFFFF); }, {"good"}},
        MalformedCase{"negative texture count",
                      [](Bytes& p, std::size_t m) { fixtures::PatchInt32(p, LumpOf(p, m), -5); }, {"good"}},
        MalformedCase{"texture count larger than the lump holds",
                      [](Bytes& p, std::size_t m) { fixtures::PatchInt32(p, m + 24, 12); }, {"good"}},
        MalformedCase{"offset outside the lump skips that texture and the one before",
                      [](Bytes& p, std::size_t m) { fixtures::PatchInt32(p, LumpOf(p, m) + 8, 1 << 24); },
                      {"good", "z"}},
        MalformedCase{"negative offset",
                      [](Bytes& p, std::size_t m) { fixtures::PatchInt32(p, LumpOf(p, m) + 12, -40); },
                      {"good", "x"}},
        MalformedCase{"offsets that do not ascend: x spans y, z gets a negative size",
                      [](Bytes& p, std::size_t m) {
                          std::size_t lump = LumpOf(p, m);
                          std::int32_t y = fixtures::ReadInt32(p, lump + 8);
                          fixtures::PatchInt32(p, lump + 8, fixtures::ReadInt32(p, lump + 12));
                          fixtures::PatchInt32(p, lump + 12, y);
                      },
                      {"good", "x", "y"}},
        MalformedCase{"archive cut inside the last texture keeps the whole ones",
                      [](Bytes& p, std::size_t m) {
                          // Put the directory first so the cut only hits texture z.
                          std::size_t lump = LumpOf(p, m);
                          std::size_t zAt = lump + static_cast<std::size_t>(fixtures::ReadInt32(p, lump + 12));
                          Bytes directory(p.begin() + static_cast<std::ptrdiff_t>(DirectoryOf(p)), p.end());
                          Bytes moved(p.begin(), p.begin() + 12);
                          moved.insert(moved.end(), directory.begin(), directory.end());
                          std::int32_t shift = static_cast<std::int32_t>(directory.size());
                          moved.insert(moved.end(), p.begin() + 12, p.begin() + static_cast<std::ptrdiff_t>(zAt + 50));
                          fixtures::PatchInt32(moved, 4, 12);
                          for (std::size_t e = 0; e < 2; ++e) {
                              std::size_t field = 12 + e * 64 + 56;
                              fixtures::PatchInt32(moved, field, fixtures::ReadInt32(moved, field) + shift);
                          }
                          p = moved;
                      },
                      {"good", "x", "y"}}));

TEST(HarvestLooseMap, ARecordBeyondTheFirst2GBIsSkippedNotCopiedFromAWrongPlace) {
    // A sparse map file: its texture lump starts just below 2 GB, so the
    // second record lies beyond what a package's 32-bit position can hold.
    TempDir dir;
    Bytes near = MakeMiptex("near", 8, 8, 1);
    Bytes far = MakeMiptex("far", 8, 8, 2);
    auto lumpAt = static_cast<std::int32_t>(0x7FFFFFFF - 8 - static_cast<std::int32_t>(near.size()) - 4);
    Bytes lump = MakeTextureLump({near, far});
    Bytes header = MakeBsp(Bytes(4, 0));
    fixtures::PatchInt32(header, 20, lumpAt);
    fixtures::PatchInt32(header, 24, static_cast<std::int32_t>(lump.size()));
    std::string path = (dir / "big.bsp").string();
    fixtures::WriteBytes(path, header);
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(lumpAt);
        file.write(reinterpret_cast<const char*>(lump.data()), static_cast<std::streamsize>(lump.size()));
    }
    platform::File map;
    ASSERT_TRUE(map.Open(path, platform::FileMode::ArchiveRead));
    TextureTable table;
    RecordingSinks sinks;
    HarvestLooseMap(map, table, sinks, "maps");
    ASSERT_EQ(table.Count(), 1);
    EXPECT_EQ(DisplayName(table[0].name), "near");
    ASSERT_EQ(sinks.warnings.size(), 1u);
    EXPECT_EQ(sinks.warnings[0].map, "big.bsp");
    EXPECT_EQ(sinks.warnings[0].what, "texture far: it lies beyond the first 2 GB of the file");
}

}  // namespace
}  // namespace moxtrel
