// The question asked before a file is converted in place while the preview
// shows it: "Yes", "No", and "Cancel", which means yes and asks no more for
// the files that follow. Closing the question with Esc or its close box is
// No, so that a question put away converts nothing.
#pragma once

#include <windows.h>

#include "file_paths.h"

// Never 0 or -1, which a dialog that could not be shown returns.
enum InPlaceAnswer { KeepFile = 1, ConvertInPlace, ConvertAndAskNoMore };

// Asks, owned by window, with the file's path as the title. A question
// that cannot be shown keeps the file.
InPlaceAnswer AskInPlaceQuestion(HWND window, const FilePath& path);
