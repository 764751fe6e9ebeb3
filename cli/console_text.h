// Text for the user (messages, the names in them, what --detect finds) on
// its way to a standard stream. tarvoconv holds it in UTF-8, and a file or
// a pipe gets those bytes. A Windows console is given characters instead
// (WriteConsoleW): bytes there would be read in the console's code page,
// and a Cyrillic name would come out garbled in a DOS window, or as '?'.
#pragma once

#include <cstdio>
#include <string>

// Writes text to stream; a failure shows when the stream is flushed.
void WriteText(std::FILE* stream, const std::string& text);
