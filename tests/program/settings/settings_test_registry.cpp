#include "settings_test_registry.h"

#include <cstring>

#include "program_test_support.h"

namespace {

void ForgetPreviewFont()
{
    if (PreviewFont)
        DeleteObject(PreviewFont);
    PreviewFont = nullptr;
    PreviewFontDescription = LOGFONTA();
    HotKeys1 = 0;
}

} // namespace

void StoreValue(const char* name, DWORD type, const std::string& data)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    // A string value not ending in NUL but followed by one in memory would
    // be stored a byte longer; the guard byte keeps it exactly as given.
    const std::string guarded = data + '\x01';
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                                            static_cast<DWORD>(data.size())));
    RegCloseKey(key);
}

void StoreDword(const char* name, DWORD value)
{
    StoreValue(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

StoredValue ReadStoredValue(const char* name)
{
    StoredValue value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.exists = RegQueryValueExA(key, name, nullptr, &value.type,
                                        reinterpret_cast<BYTE*>(&value.data[0]), &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

std::set<std::string> StoredValueNames()
{
    std::set<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[256];
    DWORD length = sizeof name;
    for (DWORD i = 0; RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name)
        names.insert(name);
    RegCloseKey(key);
    return names;
}

bool SettingsKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

POINT ScreenCentre()
{
    return POINT{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
}

SettingsRecord LoadFresh()
{
    SettingsRecord settings = SettingsRecord();
    LoadSettings(settings);
    return settings;
}

LOGFONTA SampleFontDescription()
{
    LOGFONTA font = LOGFONTA();
    font.lfHeight = -17;
    font.lfWeight = FW_BOLD;
    font.lfItalic = TRUE;
    font.lfCharSet = RUSSIAN_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::strncpy(font.lfFaceName, "Courier New", LF_FACESIZE - 1);
    return font;
}

void SettingsStoreTest::SetUp()
{
    DeleteTarvoKey();
    ForgetPreviewFont();
    ASSERT_FALSE(SettingsKeyExists()) << "the settings key could not be removed";
}

void SettingsStoreTest::TearDown()
{
    DeleteTarvoKey();
    ForgetPreviewFont();
}
