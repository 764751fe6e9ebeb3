// Whether bytes are data rather than text, for --in-place, which leaves
// data alone unless forced, and for -f auto, which takes no data for ASCII.
#pragma once

#include <cstddef>

// By the code page detector's own test: more than one byte in 64 of the
// first DetectionWindow bytes is a control character that text does not
// hold (NUL and most other C0 controls, DEL). Tabs, line and page ends,
// Ctrl-Z and escape count as text.
bool LooksBinary(const unsigned char* bytes, size_t count);
