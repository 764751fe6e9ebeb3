// The bytes of a .bmp, .ico or .cur file for a picture, as the resource
// compiler and LoadImage read them.
#pragma once

#include "little_endian.h"
#include "pixel_image.h"

// 16-colour bitmap file: BITMAPFILEHEADER, BITMAPINFOHEADER, palette, rows.
Bytes EncodeBitmapFile(const PixelImage& image);

// Icon or cursor file holding the one picture: the directory, then a DIB
// of twice the height whose colour rows are followed by the AND mask.
Bytes EncodeIconFile(const PixelImage& image);
Bytes EncodeCursorFile(const PixelImage& image);

// Whichever of the three the picture's kind asks for.
Bytes EncodeImageFile(const PixelImage& image);

// ".bmp", ".ico" or ".cur".
const char* FileExtensionFor(ImageKind kind);
