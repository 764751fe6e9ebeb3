// The preview font as the panes get it: the icon title font until the user
// picks another, handed to both panes.
#pragma once

// Makes the preview font from the icon title font when none exists yet.
// Should that fail, the panes go on with the system font and nothing of it
// is saved.
void MakeDefaultPreviewFont();

// Gives the current preview font to each pane that exists, at the scale of
// the window's screen (WindowDpi).
void SetPaneFonts();

// At the window's end: the font made for a scale other than the system's.
void DestroyPaneFont();
