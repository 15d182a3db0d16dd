#include "extract/TextureTable.h"

namespace moxtrel {

TextureTable::TextureTable() {
    m_entries.reserve(InitialCapacity);
    m_names.reserve(InitialCapacity);
}

bool TextureTable::Contains(const TextureName& name) const {
    return m_names.count(ComparableName(name)) != 0;
}

bool TextureTable::AddIfNew(TextureEntry entry) {
    // The first finding of a name wins, so a later map or the second archive
    // can never replace a texture already taken.
    auto [found, added] = m_names.emplace(ComparableName(entry.name), m_entries.size());
    if (!added) {
        if (m_onRepeat) m_onRepeat(m_entries[found->second], entry);
        return false;
    }
    m_totalSize += entry.size;
    m_entries.push_back(std::move(entry));
    return true;
}

void TextureTable::Clear() {
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_names.clear();
    m_totalSize = 0;
}

}  // namespace moxtrel
