#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/File.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"

namespace moxtrel::platform {
namespace {

using test::TempDir;

TEST(File, OpensAnUpperCaseNameThatIsLowerCaseOnDisk) {
    TempDir dir;
    fixtures::WriteBytes((dir / "pak0.pak").string(), {1, 2, 3});
    File file;
    ASSERT_TRUE(file.Open((dir / "PAK0.PAK").string(), FileMode::ArchiveRead));
    EXPECT_EQ(file.GetFileName(), "pak0.pak");
    EXPECT_EQ(file.GetLength(), 3);
}

TEST(File, ExactMatchWinsOverOtherSpellings) {
    TempDir dir;
    fixtures::WriteBytes((dir / "pak0.pak").string(), {1});
    fixtures::WriteBytes((dir / "PAK0.PAK").string(), {1, 2});
    File file;
    ASSERT_TRUE(file.Open((dir / "PAK0.PAK").string(), FileMode::ArchiveRead));
    EXPECT_EQ(file.GetLength(), 2);
}

TEST(File, DirectoryPartsAreFoundWithoutRegardToCase) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Quake" / "Id1");
    fixtures::WriteBytes((dir / "Quake" / "Id1" / "pak1.pak").string(), {9});
    EXPECT_EQ(ResolvePathIgnoringCase((dir / "quake" / "id1" / "PAK1.PAK").string()),
              (dir / "Quake" / "Id1" / "pak1.pak").string());
    test::CurrentDirectoryGuard guard;
    ASSERT_TRUE(SetCurrentDirectory((dir / "QUAKE" / "ID1").string() + "/"));
    File file;
    EXPECT_TRUE(file.Open("PAK1.PAK", FileMode::ArchiveRead));
}

TEST(File, MissingFileFailsToOpenWithTheSystemsReason) {
    TempDir dir;
    File file;
    EXPECT_FALSE(file.Open((dir / "nothing.pak").string(), FileMode::ArchiveRead));
    EXPECT_EQ(file.LastOsError(), ENOENT);
    EXPECT_FALSE(SetCurrentDirectory((dir / "gone").string()));

    std::filesystem::create_directory(dir / "PAK0.PAK");
    EXPECT_FALSE(file.Open((dir / "PAK0.PAK").string(), FileMode::ArchiveRead)) << "a folder is not an archive";
    EXPECT_EQ(file.LastOsError(), EISDIR);
}

TEST(File, ShortReadAtTheEndIsNotAnError) {
    TempDir dir;
    fixtures::WriteBytes((dir / "a").string(), {1, 2, 3, 4, 5});
    File file;
    ASSERT_TRUE(file.Open((dir / "a").string(), FileMode::ArchiveRead));
    file.Seek(3);
    unsigned char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 2u);
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
}

TEST(ReadWholeFile, ReadsEveryByteOfAFileOrGivesNothing) {
    TempDir dir;
    fixtures::Bytes bytes(20000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 7);
    fixtures::WriteBytes((dir / "volumes.map").string(), bytes);
    std::optional<std::string> text = ReadWholeFile((dir / "volumes.map").string());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, std::string(bytes.begin(), bytes.end()));
    EXPECT_FALSE(ReadWholeFile((dir / "missing.map").string()));
    EXPECT_FALSE(ReadWholeFile(dir.Path().string()));  // a folder
}

TEST(File, CreateTruncatesAndWriteThenSeekPatches) {
    TempDir dir;
    std::string path = (dir / "out.wad").string();
    fixtures::WriteBytes(path, fixtures::Bytes(100, 7));
    File file;
    ASSERT_TRUE(file.Open(path, FileMode::PackageWrite));
    EXPECT_EQ(file.GetLength(), 0);
    file.Write("abcdef", 6);
    EXPECT_EQ(file.GetPosition(), 6);
    file.Seek(2);
    file.Write("XY", 2);
    file.Close();
    auto bytes = fixtures::ReadBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abXYef");
}

TEST(File, FailedWriteThrowsWithFileNameAndSystemText) {
    TempDir dir;
    fixtures::WriteBytes((dir / "ro").string(), {1});
    File file;
    ASSERT_TRUE(file.Open((dir / "ro").string(), FileMode::ArchiveRead));
    try {
        file.Write("x", 1);
        FAIL() << "writing to a file opened for reading must throw";
    } catch (const FileError& error) {
        EXPECT_EQ(error.FileName(), (dir / "ro").string());
#ifdef _WIN32
        EXPECT_EQ(error.OsError(), EACCES);  // the handle has no write access
#else
        EXPECT_EQ(error.OsError(), EBADF);
#endif
        EXPECT_FALSE(error.OsErrorText().empty());
    }
    EXPECT_THROW(file.Seek(-1), FileError);
}

}  // namespace
}  // namespace moxtrel::platform

namespace moxtrel::platform {
namespace {

TEST(File, ShareModesKeepOtherOpenersOutWhileTheFileIsOpen) {
    test::TempDir dir;
    const std::string path = (dir / "PAK0.PAK").string();
    fixtures::WriteBytes(path, {1, 2, 3});
    File reader, secondReader, writer;
    ASSERT_TRUE(reader.Open(path, FileMode::ArchiveRead));
    EXPECT_TRUE(secondReader.Open(path, FileMode::ArchiveRead)) << "readers that deny writing share the file";
    EXPECT_FALSE(writer.Open(path, FileMode::PackageWrite));
    EXPECT_EQ(writer.LastOsError(), EWOULDBLOCK);
    EXPECT_EQ(std::filesystem::file_size(path), 3u) << "a refused open empties nothing";

    reader.Close();
    secondReader.Close();
    ASSERT_TRUE(writer.Open(path, FileMode::PackageWrite));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_FALSE(reader.Open(path, FileMode::ArchiveRead)) << "a writer that denies reading keeps readers out";
#ifdef _WIN32
    EXPECT_FALSE(reader.Open(path, FileMode::Read)) << "Windows holds every opener to the writer's share mode";
#else
    EXPECT_TRUE(reader.Open(path, FileMode::Read)) << "an open without a share mode is not refused";
#endif
}

}  // namespace
}  // namespace moxtrel::platform
