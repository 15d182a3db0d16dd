#include "preview/SheetLayout.h"

#include <algorithm>
#include <map>

namespace moxtrel::preview {

using namespace SheetLayout;

int AnimationFrame(const std::string& name) {
    if (name.size() < 2 || name[0] != '+') return -1;
    char frame = name[1];
    if (frame >= '0' && frame <= '9') return frame - '0';
    if (frame >= 'a' && frame <= 'j') return 10 + (frame - 'a');
    if (frame >= 'A' && frame <= 'J') return 10 + (frame - 'A');
    return -1;
}

std::vector<std::size_t> SheetOrder(const std::vector<std::string>& names) {
    // Each group is one cell run: a texture alone, or every frame of one
    // animation, placed where its first member was found.
    std::vector<std::vector<std::size_t>> groups;
    std::map<std::string, std::size_t> animationGroup;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (AnimationFrame(names[i]) < 0) {
            groups.push_back({i});
            continue;
        }
        auto [found, added] = animationGroup.emplace(names[i].substr(2), groups.size());
        if (added) groups.emplace_back();
        groups[found->second].push_back(i);
    }
    std::vector<std::size_t> order;
    order.reserve(names.size());
    for (std::vector<std::size_t>& group : groups) {
        std::stable_sort(group.begin(), group.end(),
                         [&](std::size_t a, std::size_t b) { return AnimationFrame(names[a]) < AnimationFrame(names[b]); });
        order.insert(order.end(), group.begin(), group.end());
    }
    return order;
}

SheetGrid::SheetGrid(int width, int cell) : m_width(width), m_cell(cell) {
    m_columns = std::max(1, (width - 2 * Margin + ColumnGap) / (cell + ColumnGap));
    int rowsRoom = MaxPageHeight - 2 * Margin - TitleHeight + RowGap;
    m_rowsPerPage = std::max(1, rowsRoom / (cell + LabelHeight + RowGap));
    int gridWidth = m_columns * (cell + ColumnGap) - ColumnGap;
    m_left = std::max(0, (width - gridWidth) / 2);
}

int SheetGrid::PageCount(std::size_t cells) const {
    std::size_t perPage = static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rowsPerPage);
    return std::max(1, static_cast<int>((cells + perPage - 1) / perPage));
}

std::size_t SheetGrid::FirstSlot(int page) const {
    return static_cast<std::size_t>(page) * static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rowsPerPage);
}

std::size_t SheetGrid::EndSlot(int page, std::size_t cells) const {
    return std::min(cells, FirstSlot(page + 1));
}

int SheetGrid::PageHeight(int page, std::size_t cells) const {
    std::size_t onPage = EndSlot(page, cells) - std::min(cells, FirstSlot(page));
    int rows = static_cast<int>((onPage + static_cast<std::size_t>(m_columns) - 1) / static_cast<std::size_t>(m_columns));
    int rowsHeight = rows == 0 ? 0 : rows * (m_cell + LabelHeight + RowGap) - RowGap;
    return 2 * Margin + TitleHeight + rowsHeight;
}

CellPlace SheetGrid::Place(std::size_t slot) const {
    auto columns = static_cast<std::size_t>(m_columns);
    std::size_t row = slot / columns;
    auto rowsPerPage = static_cast<std::size_t>(m_rowsPerPage);
    CellPlace place;
    place.page = static_cast<int>(row / rowsPerPage);
    place.x = m_left + static_cast<int>(slot % columns) * (m_cell + ColumnGap);
    place.y = Margin + TitleHeight + static_cast<int>(row % rowsPerPage) * (m_cell + LabelHeight + RowGap);
    return place;
}

}  // namespace moxtrel::preview
