#include "GifWriter.h"

#include <cstdint>
#include <optional>

#include <gif_lib.h>

namespace moxtrel::art {

namespace {

constexpr int PaletteBits = 4;  // 16 colours
constexpr int PaletteSize = 1 << PaletteBits;
static_assert(std::size(Palette::All) == PaletteSize);

std::optional<GifPixelType> PaletteIndex(Colour c) {
    for (std::size_t i = 0; i < std::size(Palette::All); ++i) {
        if (Palette::All[i].r == c.r && Palette::All[i].g == c.g && Palette::All[i].b == c.b) {
            return static_cast<GifPixelType>(i);
        }
    }
    return std::nullopt;
}

// The frame as palette indices, row after row; empty when a colour is not in
// the palette.
std::vector<GifPixelType> Indices(const Raster& frame) {
    std::vector<GifPixelType> indices;
    indices.reserve(static_cast<std::size_t>(frame.Width()) * static_cast<std::size_t>(frame.Height()));
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x) {
            std::optional<GifPixelType> index = PaletteIndex(frame.At(x, y));
            if (!index) return {};
            indices.push_back(*index);
        }
    }
    return indices;
}

// Closes the file when it goes; Close reports whether the last bytes made it.
class GifFile {
public:
    explicit GifFile(const std::string& path) : m_gif(EGifOpenFileName(path.c_str(), false, nullptr)) {}
    ~GifFile() {
        if (m_gif) EGifCloseFile(m_gif, nullptr);
    }
    GifFile(const GifFile&) = delete;
    GifFile& operator=(const GifFile&) = delete;

    GifFileType* operator->() const { return m_gif; }
    GifFileType* Get() const { return m_gif; }
    bool Close() {
        GifFileType* gif = m_gif;
        m_gif = nullptr;
        return EGifCloseFile(gif, nullptr) == GIF_OK;
    }

private:
    GifFileType* m_gif;
};

bool PutScreen(GifFileType* gif, int width, int height, GifPixelType background) {
    GifColorType colours[PaletteSize];
    for (int i = 0; i < PaletteSize; ++i) {
        colours[i] = {Palette::All[i].r, Palette::All[i].g, Palette::All[i].b};
    }
    ColorMapObject* map = GifMakeMapObject(PaletteSize, colours);
    if (!map) return false;
    EGifSetGifVersion(gif, true);
    bool written = EGifPutScreenDesc(gif, width, height, 8, background, map) == GIF_OK;
    GifFreeMapObject(map);
    return written;
}

// The application extension that makes viewers loop the animation for ever.
bool PutLoopForever(GifFileType* gif) {
    static const GifByteType application[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType loopForever[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof application, application) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof loopForever, loopForever) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

// The graphic control of each frame: cleared to the transparent background
// afterwards, the transparent colour, and the delay in hundredths.
bool PutFrameControl(GifFileType* gif, int delayMilliseconds, GifPixelType transparent) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_BACKGROUND;
    control.UserInputFlag = false;
    control.DelayTime = delayMilliseconds / 10;
    control.TransparentColor = transparent;
    GifByteType block[4];
    std::size_t length = EGifGCBToExtension(&control, block);
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), block) == GIF_OK;
}

bool PutFrame(GifFileType* gif, int width, int height, std::vector<GifPixelType>& indices) {
    if (EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK) return false;
    for (int y = 0; y < height; ++y) {
        if (EGifPutLine(gif, indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width), width) !=
            GIF_OK) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool WriteAnimatedGif(const std::vector<Raster>& frames, int delayMilliseconds, const std::string& path) {
    if (frames.empty()) return false;
    const int width = frames[0].Width(), height = frames[0].Height();
    const GifPixelType transparent = *PaletteIndex(Palette::Magenta);

    GifFile gif(path);
    if (!gif.Get() || !PutScreen(gif.Get(), width, height, transparent) || !PutLoopForever(gif.Get())) return false;
    for (const Raster& frame : frames) {
        if (frame.Width() != width || frame.Height() != height) return false;
        std::vector<GifPixelType> indices = Indices(frame);
        if (indices.empty()) return false;
        if (!PutFrameControl(gif.Get(), delayMilliseconds, transparent) || !PutFrame(gif.Get(), width, height, indices)) {
            return false;
        }
    }
    return gif.Close();
}

}  // namespace moxtrel::art
