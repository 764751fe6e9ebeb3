// The device-independent bitmap parts that .bmp, .ico and .cur files
// share: the info header, the palette and the packed pixel rows.
#pragma once

#include "little_endian.h"
#include "pixel_image.h"

#include <cstddef>
#include <cstdint>

constexpr std::uint32_t InfoHeaderSize = 40;

// Bytes in one stored row: every row starts on a 4-byte boundary.
std::size_t DibRowBytes(int width, int bitsPerPixel);

// BITMAPINFOHEADER, uncompressed. Icons and cursors pass twice their
// height, since the colour rows and the mask rows follow one another.
void AppendInfoHeader(Bytes& out, int width, int height, int bitsPerPixel,
                      std::uint32_t imageBytes, std::uint32_t coloursUsed);

void AppendVgaPalette(Bytes& out);
void AppendBlackWhitePalette(Bytes& out);

// Rows go bottom row first, leftmost pixel in the high bits of a byte.
// A transparent pixel is stored black; the mask is what hides it.
void AppendColourRows(Bytes& out, const PixelImage& image);
// One bit a pixel: set for white. Cursors only.
void AppendBlackWhiteRows(Bytes& out, const PixelImage& image);
// The AND mask: a set bit lets the screen show through.
void AppendTransparencyMask(Bytes& out, const PixelImage& image);
