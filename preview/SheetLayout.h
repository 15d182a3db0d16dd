#pragma once
// Where each texture goes on a contact sheet: the order of the cells (the
// package's order, with the frames of each animation brought together) and
// the grid of cells, split into pages no taller than a PNG viewer or an
// image library handles comfortably.

#include <cstddef>
#include <string>
#include <vector>

namespace moxtrel::preview {

namespace SheetLayout {
inline constexpr int MaxPageHeight = 8192;
inline constexpr int Margin = 16;       // around the page
inline constexpr int TitleHeight = 24;  // the package's name and count, at the top
inline constexpr int ColumnGap = 16;
inline constexpr int RowGap = 12;
inline constexpr int LabelHeight = 18;  // the texture's name, under its cell
inline constexpr int MinCell = 16;
inline constexpr int MaxCell = 1024;
inline constexpr int MaxWidth = 8192;
}  // namespace SheetLayout

// The frame number of an animation frame's name: "+0name" .. "+9name" are
// frames 0 to 9, "+aname" .. "+jname" (either letter case) the alternate
// frames 10 to 19. -1 for any other name.
int AnimationFrame(const std::string& name);

// The order of the cells, as indices into `names`: the package's order,
// except that all frames of one animation (same name after the frame
// character) take the place of its first frame found, in frame order.
std::vector<std::size_t> SheetOrder(const std::vector<std::string>& names);

struct CellPlace {
    int page = 0;  // from 0
    int x = 0;     // the cell's top-left corner on its page
    int y = 0;
};

// The grid of a sheet `width` pixels wide with square cells of `cell` pixels.
class SheetGrid {
public:
    // The smallest width that holds one column of `cell`.
    static int MinWidth(int cell) { return cell + 2 * SheetLayout::Margin; }

    // `width` at least MinWidth(cell).
    SheetGrid(int width, int cell);

    int Width() const { return m_width; }
    int Cell() const { return m_cell; }
    int Columns() const { return m_columns; }
    int RowsPerPage() const { return m_rowsPerPage; }
    int PageCount(std::size_t cells) const;
    // The height of `page` when the sheet holds `cells` cells: only the rows in use.
    int PageHeight(int page, std::size_t cells) const;
    // The place of the cell at position `slot` in the sheet's order.
    CellPlace Place(std::size_t slot) const;
    // The first slot of `page`, and one past its last when the sheet holds `cells`.
    std::size_t FirstSlot(int page) const;
    std::size_t EndSlot(int page, std::size_t cells) const;

private:
    int m_width;
    int m_cell;
    int m_columns;
    int m_rowsPerPage;
    int m_left;  // the grid is centred on the page
};

}  // namespace moxtrel::preview
