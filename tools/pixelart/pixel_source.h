// Reads an art source: a few header lines, then the pictures one character
// a pixel. resources/art/README.md describes the format for artists.
#pragma once

#include "pixel_image.h"

#include <istream>
#include <stdexcept>
#include <string>

// Message starts with "source:line: " so an editor can jump to the fault.
struct SourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// sourceName only labels the messages.
PixelImage ParsePixelSource(std::istream& in, const std::string& sourceName);

PixelImage ReadPixelSourceFile(const std::string& path);
