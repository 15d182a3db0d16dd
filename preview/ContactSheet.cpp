#include "preview/ContactSheet.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include "formats/Miptex.h"
#include "platform/Text.h"
#include "preview/MiptexPicture.h"
#include "preview/SheetLayout.h"

namespace moxtrel::preview {

namespace {

using namespace SheetLayout;

constexpr std::uint32_t BackgroundColour = 0xF2F1EC;
constexpr std::uint32_t TextColour = 0x202020;
constexpr std::uint32_t FrameColour = 0xA8A8A8;
constexpr std::uint32_t DamageColour = 0xC0302A;
constexpr double LabelFontSize = 11;
constexpr double SmallestLabelFontSize = 6;
constexpr double TitleFontSize = 13;
constexpr const char* FontFamily = "sans-serif";

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

void CheckStatus(cairo_status_t status, const std::string& what) {
    if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot " + what + ": " + cairo_status_to_string(status));
}

Surface MakeSurface(int width, int height) {
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    CheckStatus(cairo_surface_status(surface.get()),
                "make a picture of " + std::to_string(width) + "x" + std::to_string(height) + " pixels");
    return surface;
}

void SetColour(cairo_t* cr, std::uint32_t colour) {
    cairo_set_source_rgb(cr, (colour >> 16) / 255.0, ((colour >> 8) & 0xFFu) / 255.0, (colour & 0xFFu) / 255.0);
}

std::string Hex(unsigned char c) {
    const char* digits = "0123456789ABCDEF";
    return {digits[c >> 4], digits[c & 0x0F]};
}

// One cell of the sheet: a texture whose header was found sound, or a damaged record.
struct SheetEntry {
    std::string name;  // printable
    const WadLump* lump = nullptr;
    std::optional<MiptexHeader> header;  // none when the record is damaged
};

class SheetPainter {
public:
    SheetPainter(const WadContents& wad, platform::File& file, const Palette& palette, const SheetOptions& options,
                 WarningSink& warnings)
        : m_wad(wad), m_file(file), m_palette(palette), m_grid(options.width, options.cell), m_warnings(warnings) {}

    SheetSummary Draw(const PageWriter& writePage) {
        CheckRecords();
        std::vector<std::string> names;
        for (const SheetEntry& entry : m_entries) names.push_back(entry.name);
        m_order = SheetOrder(names);
        m_summary.pages = m_grid.PageCount(m_entries.size());
        for (int page = 0; page < m_summary.pages; ++page) writePage(page + 1, DrawPage(page));
        return m_summary;
    }

private:
    void Warn(const std::string& name, const std::string& what) { m_warnings.Warn(m_wad.fileName, "texture " + name, what); }

    // Reads and checks every record's header; its pixels wait for its page.
    void CheckRecords() {
        for (const WadLump& lump : m_wad.lumps) {
            SheetEntry entry{DisplayName(lump.name), &lump, std::nullopt};
            if (lump.type != WadLayout::MiptexType) {
                Warn(entry.name, "a lump of type 0x" + Hex(lump.type) + " is not a texture; left out");
                ++m_summary.skipped;
                continue;
            }
            std::string fault = "it is stored compressed";
            if (lump.compression == 0) {
                unsigned char header[MiptexLayout::HeaderBytes] = {};
                std::size_t available = std::min<std::size_t>(sizeof header, static_cast<std::size_t>(lump.diskSize));
                // The package may have become shorter since its directory was read.
                if (ReadExactlyAt(m_file, lump.position, header, available)) {
                    entry.header = CheckMiptexHeader(header, available, lump.diskSize, fault);
                } else {
                    fault = "the file ends before its header";
                }
            }
            if (!entry.header) Warn(entry.name, fault);
            m_entries.push_back(std::move(entry));
        }
    }

    std::vector<unsigned char> DrawPage(int page) {
        Surface surface = MakeSurface(m_grid.Width(), m_grid.PageHeight(page, m_entries.size()));
        Context context(cairo_create(surface.get()));
        cairo_t* cr = context.get();
        SetColour(cr, BackgroundColour);
        cairo_paint(cr);
        DrawTitle(cr, page);
        for (std::size_t slot = m_grid.FirstSlot(page); slot < m_grid.EndSlot(page, m_entries.size()); ++slot) {
            const SheetEntry& entry = m_entries[m_order[slot]];
            CellPlace place = m_grid.Place(slot);
            bool drawn = entry.header && DrawTexture(cr, entry, place);
            if (!drawn) DrawCrossedBox(cr, place);
            DrawLabel(cr, entry.name, place, drawn ? TextColour : DamageColour);
            ++(drawn ? m_summary.shown : m_summary.damaged);
        }
        CheckStatus(cairo_status(cr), "draw page " + std::to_string(page + 1));
        return EncodePng(surface.get());
    }

    void DrawTitle(cairo_t* cr, int page) {
        std::size_t count = m_entries.size();
        std::string title = platform::ReadableText(m_wad.fileName) + ": " + std::to_string(count) +
                            (count == 1 ? " texture" : " textures");
        if (m_summary.pages > 1) title += ", page " + std::to_string(page + 1) + " of " + std::to_string(m_summary.pages);
        cairo_select_font_face(cr, FontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, TitleFontSize);
        SetColour(cr, TextColour);
        cairo_move_to(cr, Margin, Margin + TitleFontSize);
        cairo_show_text(cr, title.c_str());
    }

    // Draws the texture at the bottom centre of its cell, so its name sits
    // right under it. False when its pixels cannot be read.
    bool DrawTexture(cairo_t* cr, const SheetEntry& entry, CellPlace place) {
        ShownSize size = FitInCell(entry.header->width, entry.header->height, m_grid.Cell());
        std::optional<Picture> picture = ReadShownPicture(m_file, entry.lump->position, *entry.header, m_palette, size);
        if (!picture) {
            Warn(entry.name, "the file ends before its pixels");
            return false;
        }
        Surface image = MakeSurface(picture->width, picture->height);
        unsigned char* data = cairo_image_surface_get_data(image.get());
        auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(image.get()));
        auto rowBytes = static_cast<std::size_t>(picture->width) * sizeof(std::uint32_t);
        for (std::size_t row = 0; row < static_cast<std::size_t>(picture->height); ++row) {
            std::memcpy(data + row * stride, picture->colours.data() + row * static_cast<std::size_t>(picture->width), rowBytes);
        }
        cairo_surface_mark_dirty(image.get());

        int x = place.x + (m_grid.Cell() - picture->width) / 2;
        int y = place.y + m_grid.Cell() - picture->height;
        SetColour(cr, FrameColour);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, x - 0.5, y - 0.5, picture->width + 1, picture->height + 1);
        cairo_stroke(cr);
        cairo_set_source_surface(cr, image.get(), x, y);
        cairo_rectangle(cr, x, y, picture->width, picture->height);
        cairo_fill(cr);
        return true;
    }

    void DrawCrossedBox(cairo_t* cr, CellPlace place) {
        double side = m_grid.Cell() - 2;
        double left = place.x + 1, top = place.y + 1;
        SetColour(cr, DamageColour);
        cairo_set_line_width(cr, 2);
        cairo_rectangle(cr, left, top, side, side);
        cairo_move_to(cr, left, top);
        cairo_line_to(cr, left + side, top + side);
        cairo_move_to(cr, left + side, top);
        cairo_line_to(cr, left, top + side);
        cairo_stroke(cr);
    }

    // The name centred under its cell, made smaller when it is wider than
    // the column and cut at the column's edges when even that is not enough.
    void DrawLabel(cairo_t* cr, const std::string& name, CellPlace place, std::uint32_t colour) {
        double columnWidth = m_grid.Cell() + ColumnGap - 2;
        cairo_select_font_face(cr, FontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, LabelFontSize);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, name.c_str(), &extents);
        if (extents.x_advance > columnWidth) {
            cairo_set_font_size(cr, std::max(SmallestLabelFontSize, LabelFontSize * columnWidth / extents.x_advance));
            cairo_text_extents(cr, name.c_str(), &extents);
        }
        double centre = place.x + m_grid.Cell() / 2.0;
        cairo_save(cr);
        cairo_rectangle(cr, centre - columnWidth / 2, place.y + m_grid.Cell(), columnWidth, LabelHeight);
        cairo_clip(cr);
        SetColour(cr, colour);
        cairo_move_to(cr, centre - extents.x_advance / 2, place.y + m_grid.Cell() + LabelHeight - 4);
        cairo_show_text(cr, name.c_str());
        cairo_restore(cr);
    }

    static std::vector<unsigned char> EncodePng(cairo_surface_t* surface) {
        std::vector<unsigned char> png;
        auto append = [](void* closure, const unsigned char* data, unsigned int length) {
            auto* bytes = static_cast<std::vector<unsigned char>*>(closure);
            bytes->insert(bytes->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        };
        CheckStatus(cairo_surface_write_to_png_stream(surface, append, &png), "encode a page as PNG");
        return png;
    }

    const WadContents& m_wad;
    platform::File& m_file;
    const Palette& m_palette;
    SheetGrid m_grid;
    WarningSink& m_warnings;
    std::vector<SheetEntry> m_entries;
    std::vector<std::size_t> m_order;
    SheetSummary m_summary;
};

}  // namespace

DrawingCachesRelease::~DrawingCachesRelease() {
    cairo_debug_reset_static_data();
    FcFini();
}

SheetSummary DrawContactSheet(const WadContents& wad, platform::File& file, const Palette& palette,
                              const SheetOptions& options, const PageWriter& writePage, WarningSink& warnings) {
    if (options.cell < MinCell || options.cell > MaxCell || options.width < SheetGrid::MinWidth(options.cell) ||
        options.width > MaxWidth) {
        throw std::invalid_argument("a sheet of " + std::to_string(options.width) + " pixels with cells of " +
                                    std::to_string(options.cell) + " cannot be drawn");
    }
    return SheetPainter(wad, file, palette, options, warnings).Draw(writePage);
}

}  // namespace moxtrel::preview
