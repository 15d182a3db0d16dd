#include "pictures/PngPicture.h"

#include <png.h>

#include "formats/Pak.h"
#include "platform/File.h"

namespace moxtrel::pictures {

namespace {

// Frees what libpng holds for an image however the reading or writing ends.
class ImageGuard {
public:
    explicit ImageGuard(png_image& image) : m_image(image) {}
    ~ImageGuard() { png_image_free(&m_image); }
    ImageGuard(const ImageGuard&) = delete;
    ImageGuard& operator=(const ImageGuard&) = delete;

private:
    png_image& m_image;
};

png_image NewImage() {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    return image;
}

std::string LibpngWords(const png_image& image) {
    return image.message[0] != '\0' ? std::string(image.message) : std::string("libpng gave no reason");
}

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
    platform::File file;
    if (!file.OpenExactForReading(path)) throw PictureError(path + ": " + platform::OsErrorText(file.LastOsError()));
    if (!file.IsRegularFile()) throw PictureError(path + ": not a file");
    std::int64_t length = file.GetLength();
    if (length > PictureLimits::MaxFileBytes) {
        throw PictureError(path + ": " + std::to_string(length) + " bytes is more than a picture of " +
                           std::to_string(PictureLimits::MaxSide) + " x " + std::to_string(PictureLimits::MaxSide) +
                           " pixels takes");
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(length));
    if (!ReadExactlyAt(file, 0, bytes.data(), bytes.size())) {
        throw PictureError(path + ": the file became shorter while it was read");
    }
    return bytes;
}

}  // namespace

RgbaPicture DecodePng(const unsigned char* data, std::size_t size) {
    png_image image = NewImage();
    ImageGuard guard(image);
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        throw PictureError("the PNG cannot be read: " + LibpngWords(image));
    }
    if (image.width > PictureLimits::MaxSide || image.height > PictureLimits::MaxSide) {
        throw PictureError("the picture is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                           " pixels; a texture is at most " + std::to_string(PictureLimits::MaxSide) + " on a side");
    }
    image.format = PNG_FORMAT_RGBA;
    // Set after the header is read, which resets the flags.
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    RgbaPicture picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
        throw PictureError("the PNG is damaged: " + LibpngWords(image));
    }
    return picture;
}

RgbaPicture ReadPngFile(const std::string& path) {
    std::vector<unsigned char> bytes = ReadWholeFile(path);
    try {
        return DecodePng(bytes.data(), bytes.size());
    } catch (const PictureError& error) {
        throw PictureError(path + ": " + error.what());
    }
}

std::vector<unsigned char> EncodePng(const RgbaPicture& picture, bool withAlpha) {
    std::vector<unsigned char> pixels;
    if (withAlpha) {
        pixels = picture.rgba;
    } else {
        pixels.reserve(picture.PixelCount() * 3);
        for (std::size_t i = 0; i < picture.rgba.size(); i += RgbaPicture::BytesPerPixel) {
            pixels.insert(pixels.end(), picture.rgba.begin() + static_cast<std::ptrdiff_t>(i),
                          picture.rgba.begin() + static_cast<std::ptrdiff_t>(i + 3));
        }
    }
    png_image image = NewImage();
    ImageGuard guard(image);
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = withAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    // The first call measures, the second writes.
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) {
        throw PictureError("the picture cannot be encoded as PNG: " + LibpngWords(image));
    }
    std::vector<unsigned char> png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr)) {
        throw PictureError("the picture cannot be encoded as PNG: " + LibpngWords(image));
    }
    png.resize(size);
    return png;
}

}  // namespace moxtrel::pictures
