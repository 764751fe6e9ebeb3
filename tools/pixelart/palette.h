// The sixteen colours a 4-bit Windows bitmap or icon carries, and the
// letters the art sources use for them.
#pragma once

#include <cstdint>

struct PaletteColour {
    std::uint8_t Red;
    std::uint8_t Green;
    std::uint8_t Blue;
};

// Index of a pixel the icon mask leaves transparent. Bitmaps have no such
// pixel: their '.' is the button face.
constexpr int TransparentPixel = -1;

constexpr int PaletteSize = 16;
constexpr int BlackIndex = 0;
constexpr int SilverIndex = 7;
constexpr int WhiteIndex = 15;

// The standard VGA order, so that the toolbar colour mapping finds black,
// gray, silver and white at the indices it expects.
extern const PaletteColour VgaPalette[PaletteSize];

// Palette index for a colour letter ('k', 'r', ... 'w'), or -1 for a
// character that names no colour. '.' is not a colour: what it means
// depends on the kind of image.
int PaletteIndexOfLetter(char letter);
