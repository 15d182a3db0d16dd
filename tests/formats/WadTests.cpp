#include <gtest/gtest.h>

#include <functional>

#include "formats/Wad.h"
#include "platform/File.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"

namespace moxtrel {
namespace {

using fixtures::Bytes;
using test::TempDir;

std::string Write(const TempDir& dir, const Bytes& bytes) {
    std::string path = (dir / "Quake.wad").string();
    fixtures::WriteBytes(path, bytes);
    return path;
}

Bytes ThreeLumpWad() {
    return fixtures::MakeWad({
        {fixtures::MakeName16("brick_red"), fixtures::MakeMiptex("brick_red", 16, 16, 1)},
        {fixtures::MakeName16("+0lava", "junk"), fixtures::MakeMiptex("+0lava", 16, 16, 2)},
        {fixtures::MakeName16("metal_panel_long"), {}, 0x40},
    });
}

TEST(WadReader, ReadsBackTheDirectoryOfAWrittenPackage) {
    TempDir dir;
    Bytes bytes = ThreeLumpWad();
    WadContents wad = ReadWad(Write(dir, bytes));

    EXPECT_EQ(wad.fileName, "Quake.wad");
    EXPECT_EQ(wad.length, static_cast<std::int64_t>(bytes.size()));
    ASSERT_EQ(wad.lumps.size(), 3u);
    const std::size_t recordBytes = 40 + 16 * 16 * 85 / 64;
    EXPECT_EQ(wad.directoryPosition, static_cast<std::int32_t>(12 + 2 * recordBytes));
    EXPECT_EQ(wad.lumps[0].position, 12);
    EXPECT_EQ(wad.lumps[1].position, static_cast<std::int32_t>(12 + recordBytes));
    EXPECT_EQ(wad.lumps[1].diskSize, static_cast<std::int32_t>(recordBytes));
    EXPECT_EQ(wad.lumps[1].size, static_cast<std::int32_t>(recordBytes));
    EXPECT_EQ(wad.lumps[0].type, 0x44);
    EXPECT_EQ(wad.lumps[2].type, 0x40);
    EXPECT_EQ(wad.lumps[2].diskSize, 0);

    // All 16 name bytes come back, those after the NUL included.
    EXPECT_EQ(DisplayName(wad.lumps[1].name), "+0lava");
    EXPECT_EQ(wad.lumps[1].name[7], 'j');
    EXPECT_EQ(DisplayName(wad.lumps[2].name), "metal_panel_long");

    WadTextureCounts counts = CountWadTextures(wad);
    EXPECT_EQ(counts.simple, 2);
    EXPECT_EQ(counts.animated, 1);
}

TEST(WadReader, AnEmptyPackageIsTwelveBytesWithNoLumps) {
    TempDir dir;
    WadContents wad = ReadWad(Write(dir, fixtures::MakeWad({})));
    EXPECT_EQ(wad.length, 12);
    EXPECT_EQ(wad.directoryPosition, 12);
    EXPECT_TRUE(wad.lumps.empty());
}

TEST(WadReader, RejectsMalformedFilesSayingWhatIsWrong) {
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        const char* message;
    };
    const std::int32_t directory = fixtures::ReadInt32(ThreeLumpWad(), 8);
    const auto entry = [directory](int i, int field) { return static_cast<std::size_t>(directory + 32 * i + field); };
    const std::vector<Case> cases = {
        {"shorter than a header", [](Bytes& b) { b.resize(11); }, "shorter than a header"},
        {"another magic", [](Bytes& b) { b[3] = '3'; }, "does not begin with \"WAD2\""},
        {"negative count", [](Bytes& b) { fixtures::PatchInt32(b, 4, -1); }, "negative number of lumps"},
        {"count beyond the file",
         [](Bytes& b) { fixtures::PatchInt32(b, 4, 0x7FFFFFFF); }, "lumps do not fit"},
        {"directory cut short", [](Bytes& b) { b.resize(b.size() - 1); }, "lumps do not fit"},
        {"directory beyond the end", [](Bytes& b) { fixtures::PatchInt32(b, 8, 1 << 30); }, "lies outside the file"},
        {"negative directory", [](Bytes& b) { fixtures::PatchInt32(b, 8, -12); }, "lies outside the file"},
        {"lump beyond the end",
         [&](Bytes& b) { fixtures::PatchInt32(b, entry(1, 0), static_cast<std::int32_t>(b.size())); },
         "directory entry 1 (\"+0lava\")"},
        {"lump beyond the end, named with a control byte",
         [&](Bytes& b) {
             fixtures::PatchInt32(b, entry(1, 0), static_cast<std::int32_t>(b.size()));
             b[entry(1, 16 + 2)] = 0x1B;
         },
         "directory entry 1 (\"+0\\x1Bava\")"},
        {"lump size overflowing past the end",
         [&](Bytes& b) { fixtures::PatchInt32(b, entry(0, 4), 0x7FFFFFF0); }, "beyond the end of the file"},
        {"negative lump size", [&](Bytes& b) { fixtures::PatchInt32(b, entry(2, 4), -1); }, "negative position or size"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        Bytes bytes = ThreeLumpWad();
        c.damage(bytes);
        std::string path = Write(dir, bytes);
        try {
            ReadWad(path);
            ADD_FAILURE() << "no error";
        } catch (const WadFormatError& error) {
            std::string message = error.what();
            EXPECT_NE(message.find("Quake.wad: not a valid WAD2 package: at byte "), std::string::npos) << message;
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
        }
    }
}

TEST(WadReader, AMissingFileIsAFileErrorNamingIt) {
    TempDir dir;
    std::string path = (dir / "nothing.wad").string();
    try {
        ReadWad(path);
        ADD_FAILURE() << "no error";
    } catch (const platform::FileError& error) {
        EXPECT_EQ(error.FileName(), path);
    }
}

}  // namespace
}  // namespace moxtrel
