#include "formats/Miptex.h"

#include <algorithm>

#include "platform/File.h"
#include "platform/LittleEndian.h"
#include "platform/Text.h"

namespace moxtrel {

namespace {

std::int64_t LevelBytes(const MiptexHeader& header, std::size_t level) {
    return std::int64_t{header.width >> level} * std::int64_t{header.height >> level};
}

}  // namespace

std::string ComparableName(const TextureName& name) {
    auto end = std::find(name.begin(), name.end(), static_cast<unsigned char>(0));
    return std::string(name.begin(), end);
}

std::string DisplayName(const TextureName& name) {
    return platform::ReadableText(ComparableName(name));
}

bool IsAnimatedTexture(const TextureName& name) {
    return name[0] == '+' || name[0] == '*';
}

std::optional<MiptexHeader> CheckMiptexHeader(const unsigned char* header, std::size_t available,
                                              std::int64_t recordBytes, std::string& fault) {
    if (available < MiptexLayout::HeaderBytes || recordBytes < static_cast<std::int64_t>(MiptexLayout::HeaderBytes)) {
        fault = "the record (" + std::to_string(recordBytes) + " bytes) is shorter than a texture header";
        return std::nullopt;
    }
    MiptexHeader decoded;
    decoded.width = platform::ReadInt32LE(header + MiptexLayout::WidthField);
    decoded.height = platform::ReadInt32LE(header + MiptexLayout::HeightField);
    if (decoded.width <= 0 || decoded.height <= 0) {
        fault = "its size " + std::to_string(decoded.width) + "x" + std::to_string(decoded.height) + " is not a picture's";
        return std::nullopt;
    }
    for (std::size_t level = 0; level < MiptexLayout::MipLevels; ++level) {
        std::int32_t offset = platform::ReadInt32LE(header + MiptexLayout::OffsetsField + 4 * level);
        decoded.offsets[level] = offset;
        std::int64_t bytes = LevelBytes(decoded, level);
        if (offset < static_cast<std::int32_t>(MiptexLayout::HeaderBytes) || offset > recordBytes ||
            bytes > recordBytes - offset) {
            fault = "mip level " + std::to_string(level) + " (" + std::to_string(bytes) + " bytes at " +
                    std::to_string(offset) + ") does not lie inside the record of " + std::to_string(recordBytes) +
                    " bytes";
            return std::nullopt;
        }
    }
    return decoded;
}

std::optional<MiptexSize> ReadMiptexSize(platform::File& file, std::int64_t recordPosition, std::int64_t recordBytes) {
    constexpr std::size_t SizeFieldsEnd = MiptexLayout::HeightField + 4;
    unsigned char fields[SizeFieldsEnd - MiptexLayout::WidthField];
    if (recordBytes < static_cast<std::int64_t>(SizeFieldsEnd) ||
        !platform::ReadExactlyAt(file, recordPosition + static_cast<std::int64_t>(MiptexLayout::WidthField), fields,
                                 sizeof fields)) {
        return std::nullopt;
    }
    return MiptexSize{platform::ReadInt32LE(fields), platform::ReadInt32LE(fields + 4)};
}

}  // namespace moxtrel
