// The preview font as the panes get it: the icon title font until the user
// picks another, handed to both panes.
#pragma once

// Makes the preview font from the icon title font when none exists yet.
// Should that fail, the panes go on with the system font and nothing of it
// is saved.
void MakeDefaultPreviewFont();

// Gives the current preview font to each pane that exists.
void SetPaneFonts();
