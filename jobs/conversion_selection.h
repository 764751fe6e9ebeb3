// Fixes the engine's conversion from the code page toolbar and the
// "Convert NewLines" option; with secondPass set, from the last destination
// to cp1251 instead.
#pragma once

void SelectConversion(int secondPass);
