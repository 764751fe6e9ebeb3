// A picture as read from an art source, before it becomes file bytes.
#pragma once

#include <cstddef>
#include <vector>

enum class ImageKind {
    Bitmap,  // .bmp, 4 bits per pixel, no transparency
    Icon,    // .ico, 4 bits per pixel with a transparency mask
    Cursor,  // .cur, black and white with a transparency mask and a hot spot
};

struct PixelImage {
    ImageKind Kind = ImageKind::Bitmap;
    int Width = 0;
    int Height = 0;
    // Row by row from the top, Width * Height palette indices or
    // TransparentPixel (icons and cursors only).
    std::vector<int> Pixels;
    int HotSpotX = 0;  // cursors only
    int HotSpotY = 0;

    int At(int x, int y) const
    {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
    }
};
