#include "extract/WadWriter.h"

#include <algorithm>
#include <vector>

#include "platform/File.h"
#include "platform/LittleEndian.h"

namespace moxtrel {

namespace {

void WriteInt32(platform::File& wad, std::int32_t value) {
    unsigned char bytes[4];
    platform::WriteInt32LE(bytes, value);
    wad.Write(bytes, sizeof bytes);
}

std::int32_t LargestSize(const TextureTable& table, ProgressSink& progress) {
    std::int32_t largest = 0;
    for (const TextureEntry& entry : table) {
        largest = std::max(largest, entry.size);
        progress.Step();
    }
    return largest;
}

// Copies one record from its archive into the package, which is positioned
// at the end of the lumps written so far.
void CopyRecord(platform::File& wad, TextureEntry& entry, std::vector<unsigned char>& buffer) {
    auto size = static_cast<std::size_t>(entry.size);
    entry.source->Seek(entry.position);
    std::size_t got = entry.source->Read(buffer.data(), size);
    // The harvest only keeps records that lie whole in their archive; an
    // archive cut short since then must not leave stale bytes in the lump.
    if (got < size) {
        throw platform::FileError(EIO, entry.source->GetFilePath(), "the archive has become shorter since it was read");
    }
    entry.position = static_cast<std::int32_t>(wad.GetPosition());
    wad.Write(buffer.data(), size);
}

}  // namespace

std::int32_t WriteWadLumps(platform::File& wad, TextureTable& table, ProgressSink& progress, StatusSink& status) {
    wad.Write("WAD2", 4);
    WriteInt32(wad, table.Count());
    WriteInt32(wad, 0);  // directory position, patched once the directory is written

    progress.SetRange(3 * table.Count());
    progress.SetPosition(0);
    status.SetStatus(ExtractingStatus);

    // One buffer, sized once to the largest texture, serves every lump.
    std::vector<unsigned char> buffer(static_cast<std::size_t>(LargestSize(table, progress)));
    for (TextureEntry& entry : table) {
        CopyRecord(wad, entry, buffer);
        progress.Step();
    }
    status.SetStatus(WritingDirectoryStatus);
    return static_cast<std::int32_t>(wad.GetPosition());
}

void WriteWadDirectory(platform::File& wad, const TextureTable& table, std::int32_t directoryPosition,
                       ProgressSink& progress, StatusSink& status) {
    status.SetStatus(WritingDirectoryStatus);
    wad.Seek(directoryPosition);
    // The directory goes out in one write: position, size on disk, size, type,
    // no compression, two pad bytes, then the name's 16 bytes as they were read.
    std::vector<unsigned char> directory;
    directory.reserve(static_cast<std::size_t>(table.Count()) * WadLayout::DirEntryBytes);
    for (const TextureEntry& entry : table) {
        platform::AppendInt32LE(directory, entry.position);
        platform::AppendInt32LE(directory, entry.size);
        platform::AppendInt32LE(directory, entry.size);
        directory.push_back(WadLayout::MiptexType);
        directory.push_back(0);
        directory.push_back(0);
        directory.push_back(0);
        directory.insert(directory.end(), entry.name.begin(), entry.name.end());
        progress.Step();
    }
    if (!directory.empty()) wad.Write(directory.data(), directory.size());
    wad.Seek(WadLayout::DirectoryPositionField);
    WriteInt32(wad, directoryPosition);
}

void CountAndFreeTextures(TextureTable& table, int& animated, int& simple) {
    for (const TextureEntry& entry : table) {
        if (IsAnimatedTexture(entry.name)) {
            ++animated;
        } else {
            ++simple;
        }
    }
    table.Clear();
}

}  // namespace moxtrel
