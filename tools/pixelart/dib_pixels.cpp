#include "dib_pixels.h"

#include "palette.h"

namespace {

using PixelValue = unsigned (*)(int paletteIndex);

unsigned ColourValue(int paletteIndex)
{
    return paletteIndex == TransparentPixel ? BlackIndex : static_cast<unsigned>(paletteIndex);
}

unsigned WhiteBit(int paletteIndex)
{
    return paletteIndex == WhiteIndex ? 1u : 0u;
}

unsigned TransparentBit(int paletteIndex)
{
    return paletteIndex == TransparentPixel ? 1u : 0u;
}

void AppendPackedRows(Bytes& out, const PixelImage& image, int bitsPerPixel, PixelValue valueOf)
{
    const std::size_t rowBytes = DibRowBytes(image.Width, bitsPerPixel);
    const int pixelsPerByte = 8 / bitsPerPixel;
    for (int y = image.Height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        out.resize(rowStart + rowBytes, 0);
        for (int x = 0; x < image.Width; ++x) {
            const int shift = 8 - bitsPerPixel * (x % pixelsPerByte + 1);
            out[rowStart + static_cast<std::size_t>(x / pixelsPerByte)] |=
                static_cast<std::uint8_t>(valueOf(image.At(x, y)) << shift);
        }
    }
}

void AppendPaletteEntry(Bytes& out, const PaletteColour& colour)
{
    AppendU8(out, colour.Blue);
    AppendU8(out, colour.Green);
    AppendU8(out, colour.Red);
    AppendU8(out, 0);
}

}  // namespace

std::size_t DibRowBytes(int width, int bitsPerPixel)
{
    const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel);
    return (bits + 31) / 32 * 4;
}

void AppendInfoHeader(Bytes& out, int width, int height, int bitsPerPixel,
                      std::uint32_t imageBytes, std::uint32_t coloursUsed)
{
    AppendU32(out, InfoHeaderSize);
    AppendI32(out, width);
    AppendI32(out, height);  // positive: rows are stored bottom-up
    AppendU16(out, 1);       // planes
    AppendU16(out, static_cast<unsigned>(bitsPerPixel));
    AppendU32(out, 0);       // BI_RGB
    AppendU32(out, imageBytes);
    AppendI32(out, 0);       // no preferred resolution
    AppendI32(out, 0);
    AppendU32(out, coloursUsed);
    AppendU32(out, 0);       // all colours matter
}

void AppendVgaPalette(Bytes& out)
{
    for (const PaletteColour& colour : VgaPalette)
        AppendPaletteEntry(out, colour);
}

void AppendBlackWhitePalette(Bytes& out)
{
    AppendPaletteEntry(out, VgaPalette[BlackIndex]);
    AppendPaletteEntry(out, VgaPalette[WhiteIndex]);
}

void AppendColourRows(Bytes& out, const PixelImage& image)
{
    AppendPackedRows(out, image, 4, ColourValue);
}

void AppendBlackWhiteRows(Bytes& out, const PixelImage& image)
{
    AppendPackedRows(out, image, 1, WhiteBit);
}

void AppendTransparencyMask(Bytes& out, const PixelImage& image)
{
    AppendPackedRows(out, image, 1, TransparentBit);
}
