// All of the program's lasting state: the Settings record with its
// Parameters word, and beside it the preview font and the hot key word.
#pragma once

#include <windows.h>

// Bit fields of Parameters.
const DWORD ParamSourceMask        = 0x0000000F;  // source code page index
const DWORD ParamDestinationMask   = 0x000000F0;  // destination code page index
const int   ParamDestinationShift  = 4;
const DWORD ParamFilterIndexMask   = 0x00000F00;  // file dialogs: 1 "Text files", 2 "All files"
const int   ParamFilterIndexShift  = 8;
const DWORD ParamAlwaysOnTop       = 0x00010000;
const DWORD ParamPreview           = 0x00020000;  // preview panes shown
const DWORD ParamAutoConvert       = 0x00040000;  // "Auto convert Clipboard"
const DWORD ParamConvertNewlines   = 0x00080000;  // "Convert NewLines"
const DWORD ParamOverwriteInput    = 0x00100000;  // "Overwrite input file"
const DWORD ParamExchanged         = 0x00200000;  // destination button on the left
const DWORD ParamSavePaths         = 0x00400000;  // "Save paths on exit"
const DWORD ParamSamePaths         = 0x00800000;  // "In/Out paths are same"
const DWORD ParamPreviewCp1251     = 0x01000000;  // "Preview in cp-1251"
const DWORD ParamDetectSource      = 0x02000000;  // "Detect source code page"
const DWORD ParamRepairText        = 0x04000000;  // "Repair garbled text"

// Source KOI8-R, destination cp1251, "Text files", automatic conversion on,
// paths saved at exit.
const DWORD DefaultParameters = 0x00440112;

// With nothing stored yet the same, and detection on: automatic conversion
// then leaves alone the readable text that a new user copies first, while
// KOI8-R text is still converted.
const DWORD FirstStartParameters = DefaultParameters | ParamDetectSource;

const int SettingsPathSize = 260;

struct SettingsRecord {
    DWORD Parameters;
    // X, Y, W and H in 96-DPI pixels (stored_scale.h says how).
    int X, Y;                         // top left corner of the main window
    int FixedWidth, FixedHeight;      // window size without preview, in pixels; never stored
    int W, H;                         // window size with preview; 0 = not yet known
    wchar_t SrcPath[SettingsPathSize];  // folder of the last files opened; "" = none
    wchar_t DstPath[SettingsPathSize];  // folder of the last file saved; "" = none
    // The interface language the user chose in the system menu, a LANGID
    // (English, Russian or Ukrainian); 0 = none, the Windows display
    // language's. Stored only once chosen: older versions ignore it.
    DWORD Language;
};

extern SettingsRecord Settings;

// The preview font: its description, and the font made from it (NULL while
// there is none; the panes then use the icon title font). The description
// measures the font in the pixels of the system's scale, as the font dialog
// does; the registry keeps it in 96-DPI pixels, as X, Y, W and H.
extern LOGFONTA PreviewFontDescription;
extern HFONT PreviewFont;

// The two global hot keys as the hot key control gives them: low word the
// activation key, high word the "Convert Clipboard" key; 0 = none.
extern DWORD HotKeys1;

// Registry key under HKEY_CURRENT_USER.
extern const char SettingsKey[];

// Reads the record, the font and the hot keys from the registry; defaults
// first, then whatever is stored and readable on top. Without the settings
// key (a first start) Parameters is FirstStartParameters. A value of
// another type or size than the program writes, a place or size no window
// can have and a font far larger than any screen needs read as missing, so
// that what is saved at exit is sane again.
void LoadSettings(SettingsRecord& settings);

// Writes the record (the paths only when ParamSavePaths is set, the font
// only when one exists, the language only when one was chosen). Failures
// are silent.
void SaveSettings(const SettingsRecord& settings);

// The code page fields of Parameters.
inline int SourceOf(DWORD parameters) { return parameters & ParamSourceMask; }
inline int DestinationOf(DWORD parameters) { return (parameters & ParamDestinationMask) >> ParamDestinationShift; }
