// The conversion a Parameters word asks for: its code pages and its
// "Convert NewLines" switch.
#pragma once

#include <windows.h>

#include "stream_converter.h"

PageConverter ConverterFor(DWORD parameters);

// The preview's second pass: from the destination just converted into, to
// cp1251, with the same line-end rule.
PageConverter SecondPassConverterFor(DWORD parameters);
