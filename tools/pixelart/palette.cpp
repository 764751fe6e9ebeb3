#include "palette.h"

const PaletteColour VgaPalette[PaletteSize] = {
    {0, 0, 0},       // k black
    {128, 0, 0},     // r dark red
    {0, 128, 0},     // n dark green
    {128, 128, 0},   // y dark yellow
    {0, 0, 128},     // b dark blue
    {128, 0, 128},   // m dark magenta
    {0, 128, 128},   // c dark cyan
    {192, 192, 192}, // s silver, the button face
    {128, 128, 128}, // g gray, the button shadow
    {255, 0, 0},     // R red
    {0, 255, 0},     // N green
    {255, 255, 0},   // Y yellow
    {0, 0, 255},     // B blue
    {255, 0, 255},   // M magenta
    {0, 255, 255},   // C cyan
    {255, 255, 255}, // w white
};

int PaletteIndexOfLetter(char letter)
{
    static const char letters[PaletteSize + 1] = "krnybmcsgRNYBMCw";
    for (int i = 0; i < PaletteSize; ++i) {
        if (letters[i] == letter)
            return i;
    }
    return -1;
}
