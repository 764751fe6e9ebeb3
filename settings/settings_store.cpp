// The settings' home in the registry: the record, the preview font and the
// hot key word under HKEY_CURRENT_USER\Software\Olvendar\tarvo.
#include "settings.h"

#include "code_page_tables.h"
#include "registry_values.h"
#include "stored_scale.h"

SettingsRecord Settings;
LOGFONTA PreviewFontDescription;
HFONT PreviewFont;
DWORD HotKeys1;

const char SettingsKey[] = "Software\\Olvendar\\tarvo";

// PreviewFont holds the LOGFONTA of a 32-bit build byte for byte; a build
// with another layout could not read what the program has stored.
static_assert(sizeof(LOGFONTA) == 60, "PreviewFont is stored as a 60-byte LOGFONTA");

namespace {

// The code page fields are four bits wide but only 0..4 name a code page;
// anything else would index past the conversion tables, so such a field
// falls back to its own default and the rest of the word is kept.
DWORD WithValidCodePages(DWORD parameters)
{
    if (SourceOf(parameters) >= CodePageCount)
        parameters = (parameters & ~ParamSourceMask) | (DefaultParameters & ParamSourceMask);
    if (DestinationOf(parameters) >= CodePageCount)
        parameters = (parameters & ~ParamDestinationMask) | (DefaultParameters & ParamDestinationMask);
    return parameters;
}

// What a place and a size may be: Windows keeps a window's coordinates in 16
// bits, so anything beyond was never a window of this program's. A size of
// 0 means "not yet known".
const int LowestCoordinate = -32768, HighestCoordinate = 32767;

// Far beyond what the font dialog offers (20 points) on any screen: a
// description of a larger font is none the program wrote.
const int LargestFontPixels = 200;

// The languages the program has: any other stored value is no choice the
// program made, and the display language decides.
bool IsKnownLanguage(DWORD language)
{
    return language == MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US) ||
           language == MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT) ||
           language == MAKELANGID(LANG_UKRAINIAN, SUBLANG_DEFAULT);
}

bool IsSaneFont(const LOGFONTA& description)
{
    return description.lfHeight >= -LargestFontPixels && description.lfHeight <= LargestFontPixels &&
           description.lfWidth >= -LargestFontPixels && description.lfWidth <= LargestFontPixels;
}

// The font's size between the pixels of the system's scale, in which the
// font dialog and the icon title font measure it, and 96-DPI pixels.
LOGFONTA ScaledFont(LOGFONTA description, int from, int to)
{
    description.lfHeight = MulDiv(description.lfHeight, to, from);
    description.lfWidth = MulDiv(description.lfWidth, to, from);
    return description;
}

// A stored description becomes the font at once; one held from before is
// let go so that loading twice does not leak it.
void LoadPreviewFont(HKEY key)
{
    LOGFONTA description;
    if (!ReadBinaryValue(key, "PreviewFont", &description, sizeof description) || !IsSaneFont(description))
        return;
    description = ScaledFont(description, USER_DEFAULT_SCREEN_DPI, SystemDpi());
    description.lfFaceName[LF_FACESIZE - 1] = '\0';
    PreviewFontDescription = description;
    if (PreviewFont)
        DeleteObject(PreviewFont);
    PreviewFont = CreateFontIndirectA(&PreviewFontDescription);
}

} // namespace

void LoadSettings(SettingsRecord& settings)
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    settings.Parameters = DefaultParameters;
    const int desktopDpi = SystemDpi();
    settings.X = ToStored((desktop.left + desktop.right) / 2, desktopDpi);
    settings.Y = ToStored((desktop.top + desktop.bottom) / 2, desktopDpi);
    // Whole fields, not just the first byte: a path field is saved in full,
    // and stale bytes after an empty path would go to the registry with it.
    ZeroMemory(settings.SrcPath, sizeof settings.SrcPath);
    ZeroMemory(settings.DstPath, sizeof settings.DstPath);
    settings.Language = 0;

    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        settings.Parameters = FirstStartParameters;
        return;
    }

    // With the key present, a missing value means its own default, also for
    // the fields that a first start leaves as the caller set them.
    settings.W = 0;
    settings.H = 0;
    HotKeys1 = 0;

    if (ReadDwordValue(key, "Parameters", settings.Parameters))
        settings.Parameters = WithValidCodePages(settings.Parameters);
    ReadIntValue(key, "X", LowestCoordinate, HighestCoordinate, settings.X);
    ReadIntValue(key, "Y", LowestCoordinate, HighestCoordinate, settings.Y);
    ReadIntValue(key, "W", 0, HighestCoordinate, settings.W);
    ReadIntValue(key, "H", 0, HighestCoordinate, settings.H);
    ReadStringValue(key, "SrcPath", settings.SrcPath, SettingsPathSize);
    ReadStringValue(key, "DstPath", settings.DstPath, SettingsPathSize);
    LoadPreviewFont(key);
    ReadDwordValue(key, "HotKeys1", HotKeys1);
    if (!ReadDwordValue(key, "Language", settings.Language) || !IsKnownLanguage(settings.Language))
        settings.Language = 0;
    RegCloseKey(key);
}

void SaveSettings(const SettingsRecord& settings)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;

    WriteDwordValue(key, "Parameters", settings.Parameters);
    WriteDwordValue(key, "X", static_cast<DWORD>(settings.X));
    WriteDwordValue(key, "Y", static_cast<DWORD>(settings.Y));
    WriteDwordValue(key, "W", static_cast<DWORD>(settings.W));
    WriteDwordValue(key, "H", static_cast<DWORD>(settings.H));
    WriteDwordValue(key, "HotKeys1", HotKeys1);
    if (settings.Language)
        WriteDwordValue(key, "Language", settings.Language);
    // Left alone when not to be saved, so the folders of the last session
    // that did save them are still there for the next one.
    if (settings.Parameters & ParamSavePaths) {
        WriteStringField(key, "SrcPath", settings.SrcPath, SettingsPathSize);
        WriteStringField(key, "DstPath", settings.DstPath, SettingsPathSize);
    }
    if (PreviewFont) {
        const LOGFONTA stored = ScaledFont(PreviewFontDescription, SystemDpi(), USER_DEFAULT_SCREEN_DPI);
        WriteBinaryValue(key, "PreviewFont", &stored, sizeof stored);
    }
    RegCloseKey(key);
}
