#include "extract/WadWriter.h"

#include <algorithm>
#include <cerrno>
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

// Gathers the package's lumps in one large block and writes the block out
// when the next record does not fit, so a package of many small textures
// takes few writes. Records that lie one after the other in the same archive
// (the new textures of one map, mostly) are read in one go. Keeps the
// package's position itself instead of asking the file after every record.
class LumpWriter {
public:
    LumpWriter(platform::File& wad, std::size_t largestRecord)
        : m_wad(wad), m_position(wad.GetPosition()), m_block(std::max(BlockBytes, largestRecord)) {}

    // Puts one record from its archive behind the lumps written so far and
    // gives the entry its position in the package.
    void CopyRecord(TextureEntry& entry) {
        auto size = static_cast<std::size_t>(entry.size);
        bool continuesRun = entry.source == m_runSource && entry.position == m_runEnd;
        if (!continuesRun || m_used + size > m_block.size()) {
            ReadRun();
            if (m_used + size > m_block.size()) Flush();
            m_runSource = entry.source;
            m_runStart = entry.position;
            m_runEnd = entry.position;
            m_runOffset = m_used;
        }
        m_runEnd += static_cast<std::int64_t>(size);
        m_used += size;
        entry.position = static_cast<std::int32_t>(m_position);
        m_position += static_cast<std::int64_t>(size);
    }

    // Writes what the block holds; returns the package position after it.
    std::int64_t Flush() {
        ReadRun();
        if (m_used > 0) m_wad.Write(m_block.data(), m_used);
        m_used = 0;
        return m_position;
    }

private:
    static constexpr std::size_t BlockBytes = std::size_t{1} << 20;

    // Reads the pending run of records into its place in the block.
    void ReadRun() {
        if (!m_runSource) return;
        auto size = static_cast<std::size_t>(m_runEnd - m_runStart);
        std::size_t got = m_runSource->ReadAt(m_runStart, m_block.data() + m_runOffset, size);
        // The harvest only keeps records that lie whole in their archive; an
        // archive cut short since then must not leave stale bytes in the lump.
        if (got < size) {
            throw platform::FileError(EIO, m_runSource->GetFilePath(), "the archive has become shorter since it was read");
        }
        m_runSource = nullptr;
    }

    platform::File& m_wad;
    std::int64_t m_position;
    std::vector<unsigned char> m_block;
    std::size_t m_used = 0;
    // The records still to be read: one stretch of one archive, and where it goes in the block.
    platform::File* m_runSource = nullptr;
    std::int64_t m_runStart = 0;
    std::int64_t m_runEnd = 0;
    std::size_t m_runOffset = 0;
};

}  // namespace

std::int32_t WriteWadLumps(platform::File& wad, TextureTable& table, ProgressSink& progress, StatusSink& status) {
    wad.Write("WAD2", 4);
    WriteInt32(wad, table.Count());
    WriteInt32(wad, 0);  // directory position, patched once the directory is written

    progress.SetRange(3 * table.Count());
    progress.SetPosition(0);
    status.SetStatus(ExtractingStatus);

    // One block, large enough for the largest texture, serves every lump.
    LumpWriter lumps(wad, static_cast<std::size_t>(LargestSize(table, progress)));
    for (TextureEntry& entry : table) {
        lumps.CopyRecord(entry);
        progress.Step();
    }
    std::int64_t end = lumps.Flush();
    status.SetStatus(WritingDirectoryStatus);
    return static_cast<std::int32_t>(end);
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
