#include "image_files.h"

#include "dib_pixels.h"
#include "palette.h"

#include <cstdint>

namespace {

constexpr std::uint32_t BitmapFileHeaderSize = 14;
constexpr std::uint32_t IconDirectorySize = 6;
constexpr std::uint32_t IconEntrySize = 16;

enum IconResourceType : unsigned { IconType = 1, CursorType = 2 };

std::uint32_t AsU32(std::size_t size)
{
    return static_cast<std::uint32_t>(size);
}

// The directory keeps width and height in one byte each, 0 meaning 256.
unsigned DirectorySizeByte(int pixels)
{
    return static_cast<unsigned>(pixels) & 0xFFu;
}

// An icon entry holds its planes and bit count where a cursor entry holds
// its hot spot.
Bytes EncodeMaskedImage(const PixelImage& image, IconResourceType type, int bitsPerPixel,
                        unsigned coloursInEntry, unsigned planesOrHotSpotX, unsigned bitsOrHotSpotY)
{
    const std::size_t colourBytes = DibRowBytes(image.Width, bitsPerPixel) * image.Height;
    const std::size_t maskBytes = DibRowBytes(image.Width, 1) * image.Height;
    const std::size_t paletteBytes = (std::size_t{1} << bitsPerPixel) * 4;
    const std::size_t resourceBytes = InfoHeaderSize + paletteBytes + colourBytes + maskBytes;

    Bytes out;
    out.reserve(IconDirectorySize + IconEntrySize + resourceBytes);
    AppendU16(out, 0);  // reserved
    AppendU16(out, type);
    AppendU16(out, 1);  // one image

    AppendU8(out, DirectorySizeByte(image.Width));
    AppendU8(out, DirectorySizeByte(image.Height));
    AppendU8(out, coloursInEntry);
    AppendU8(out, 0);  // reserved
    AppendU16(out, planesOrHotSpotX);
    AppendU16(out, bitsOrHotSpotY);
    AppendU32(out, AsU32(resourceBytes));
    AppendU32(out, IconDirectorySize + IconEntrySize);

    AppendInfoHeader(out, image.Width, 2 * image.Height, bitsPerPixel,
                     AsU32(colourBytes + maskBytes), 0);
    if (bitsPerPixel == 4) {
        AppendVgaPalette(out);
        AppendColourRows(out, image);
    } else {
        AppendBlackWhitePalette(out);
        AppendBlackWhiteRows(out, image);
    }
    AppendTransparencyMask(out, image);
    return out;
}

}  // namespace

Bytes EncodeBitmapFile(const PixelImage& image)
{
    const std::uint32_t pixelOffset = BitmapFileHeaderSize + InfoHeaderSize + PaletteSize * 4;
    const std::size_t pixelBytes = DibRowBytes(image.Width, 4) * image.Height;

    Bytes out;
    out.reserve(pixelOffset + pixelBytes);
    AppendU8(out, 'B');
    AppendU8(out, 'M');
    AppendU32(out, AsU32(pixelOffset + pixelBytes));
    AppendU16(out, 0);  // reserved
    AppendU16(out, 0);
    AppendU32(out, pixelOffset);

    AppendInfoHeader(out, image.Width, image.Height, 4, AsU32(pixelBytes), PaletteSize);
    AppendVgaPalette(out);
    AppendColourRows(out, image);
    return out;
}

Bytes EncodeIconFile(const PixelImage& image)
{
    return EncodeMaskedImage(image, IconType, 4, PaletteSize, 1, 4);
}

Bytes EncodeCursorFile(const PixelImage& image)
{
    return EncodeMaskedImage(image, CursorType, 1, 2, static_cast<unsigned>(image.HotSpotX),
                             static_cast<unsigned>(image.HotSpotY));
}

Bytes EncodeImageFile(const PixelImage& image)
{
    switch (image.Kind) {
    case ImageKind::Icon:
        return EncodeIconFile(image);
    case ImageKind::Cursor:
        return EncodeCursorFile(image);
    case ImageKind::Bitmap:
        break;
    }
    return EncodeBitmapFile(image);
}

const char* FileExtensionFor(ImageKind kind)
{
    switch (kind) {
    case ImageKind::Icon:
        return ".ico";
    case ImageKind::Cursor:
        return ".cur";
    case ImageKind::Bitmap:
        break;
    }
    return ".bmp";
}
