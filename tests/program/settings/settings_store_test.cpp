// Settings saved and loaded through the prefix's real registry: what a first
// start finds, what a save leaves behind, and what comes back.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "code_page_tables.h"
#include "settings_test_registry.h"

namespace {

using FirstStart = SettingsStoreTest;
using SettingsRoundTrip = SettingsStoreTest;
using SavedPaths = SettingsStoreTest;
using SavedPreviewFont = SettingsStoreTest;

void SetPath(wchar_t (&field)[SettingsPathSize], const std::wstring& path)
{
    std::wmemset(field, 0, SettingsPathSize);
    path.copy(field, SettingsPathSize - 1);
}

TEST_F(FirstStart, WithoutTheKeyLoadsTheDefaultsAndCreatesNothing)
{
    SettingsRecord settings = SettingsRecord();
    SetPath(settings.SrcPath, L"C:\\left over");
    SetPath(settings.DstPath, L"C:\\left over");
    LoadSettings(settings);

    EXPECT_EQ(0x2440112u, settings.Parameters) << "the defaults and detection";
    EXPECT_EQ(CodePageKoi8r, SourceOf(settings.Parameters));
    EXPECT_EQ(CodePageCp1251, DestinationOf(settings.Parameters));
    EXPECT_EQ(ScreenCentre().x, settings.X);
    EXPECT_EQ(ScreenCentre().y, settings.Y);
    EXPECT_EQ(0, settings.W);
    EXPECT_EQ(0, settings.H);
    EXPECT_STREQ(L"", settings.SrcPath);
    EXPECT_STREQ(L"", settings.DstPath);
    EXPECT_EQ(nullptr, PreviewFont);
    EXPECT_EQ(0u, HotKeys1);
    EXPECT_FALSE(SettingsKeyExists());
}

TEST_F(FirstStart, SavingTheDefaultsWritesEveryValueButTheFont)
{
    SaveSettings(LoadFresh());

    const std::set<std::string> expected = {"Parameters", "X", "Y", "W", "H", "HotKeys1", "SrcPath", "DstPath"};
    EXPECT_EQ(expected, StoredValueNames());
    for (const char* name : {"Parameters", "X", "Y", "W", "H", "HotKeys1"}) {
        const StoredValue value = ReadStoredValue(name);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.type) << name;
        EXPECT_EQ(4u, value.data.size()) << name;
    }
    EXPECT_EQ(0x2440112u, *reinterpret_cast<const DWORD*>(ReadStoredValue("Parameters").data.data()));
}

TEST_F(SettingsRoundTrip, EveryStoredFieldComesBack)
{
    SettingsRecord saved = SettingsRecord();
    saved.Parameters = 0x01FF0224;  // every flag, source 4, destination 2, "All files"
    saved.X = -1200;                // a monitor left of the primary one
    saved.Y = 37;
    saved.FixedWidth = 333;
    saved.FixedHeight = 44;
    saved.W = 640;
    saved.H = 480;
    SetPath(saved.SrcPath, L"C:\\texts\\in");
    SetPath(saved.DstPath, std::wstring(SettingsPathSize - 1, L'd'));
    HotKeys1 = MAKELONG(MAKEWORD('Z', HOTKEYF_CONTROL | HOTKEYF_ALT), MAKEWORD(VK_F9, HOTKEYF_SHIFT));
    PreviewFontDescription = SampleFontDescription();
    PreviewFont = CreateFontIndirectA(&PreviewFontDescription);
    ASSERT_NE(nullptr, PreviewFont);
    SaveSettings(saved);

    const DWORD savedHotKeys = HotKeys1;
    DeleteObject(PreviewFont);
    PreviewFont = nullptr;
    PreviewFontDescription = LOGFONTA();
    HotKeys1 = 0;
    const SettingsRecord loaded = LoadFresh();

    EXPECT_EQ(saved.Parameters, loaded.Parameters);
    EXPECT_EQ(saved.X, loaded.X);
    EXPECT_EQ(saved.Y, loaded.Y);
    EXPECT_EQ(saved.W, loaded.W);
    EXPECT_EQ(saved.H, loaded.H);
    EXPECT_EQ(0, loaded.FixedWidth);
    EXPECT_EQ(0, loaded.FixedHeight);
    EXPECT_STREQ(saved.SrcPath, loaded.SrcPath);
    EXPECT_STREQ(saved.DstPath, loaded.DstPath);
    EXPECT_EQ(savedHotKeys, HotKeys1);
    const LOGFONTA expected = SampleFontDescription();
    EXPECT_EQ(0, std::memcmp(&expected, &PreviewFontDescription, sizeof expected));
    EXPECT_NE(nullptr, PreviewFont);
}

TEST_F(SavedPaths, AreWrittenAsWholeFieldsWhenPathsAreSaved)
{
    SettingsRecord settings = LoadFresh();
    SetPath(settings.SrcPath, L"C:\\a");
    SaveSettings(settings);
    for (const char* name : {"SrcPath", "DstPath"}) {
        const StoredValue value = ReadStoredValue(name);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type) << name;
        EXPECT_EQ(static_cast<size_t>(SettingsPathSize), value.data.size()) << name;
    }
    EXPECT_STREQ("C:\\a", ReadStoredValue("SrcPath").data.c_str());

    // A field with no NUL in it, followed by an empty one, still stores 260
    // bytes and comes back cut to fit.
    std::wmemset(settings.SrcPath, L'p', SettingsPathSize);
    SetPath(settings.DstPath, L"");
    SaveSettings(settings);
    EXPECT_EQ(static_cast<size_t>(SettingsPathSize), ReadStoredValue("SrcPath").data.size());
    EXPECT_EQ(std::wstring(SettingsPathSize - 1, L'p'), LoadFresh().SrcPath);
}

TEST_F(SavedPaths, StayAsLastWrittenWhenPathsAreNotSaved)
{
    SettingsRecord settings = LoadFresh();
    SetPath(settings.SrcPath, L"C:\\kept in");
    SetPath(settings.DstPath, L"C:\\kept out");
    SaveSettings(settings);

    settings.Parameters &= ~ParamSavePaths;
    SetPath(settings.SrcPath, L"C:\\newer in");
    SetPath(settings.DstPath, L"");
    SaveSettings(settings);

    const SettingsRecord loaded = LoadFresh();
    EXPECT_STREQ(L"C:\\kept in", loaded.SrcPath);
    EXPECT_STREQ(L"C:\\kept out", loaded.DstPath);
    EXPECT_EQ(settings.Parameters, loaded.Parameters);
}

TEST_F(SavedPreviewFont, IsNotWrittenWithoutAFontEvenWithADescription)
{
    PreviewFontDescription = SampleFontDescription();
    SaveSettings(LoadFresh());
    EXPECT_FALSE(ReadStoredValue("PreviewFont").exists);
}

TEST_F(SavedPreviewFont, IsWrittenAsItsDescriptionAndLoadsAsAWorkingFont)
{
    PreviewFontDescription = SampleFontDescription();
    PreviewFont = CreateFontIndirectA(&PreviewFontDescription);
    SaveSettings(LoadFresh());
    const StoredValue stored = ReadStoredValue("PreviewFont");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), stored.type);
    EXPECT_EQ(60u, stored.data.size());

    DeleteObject(PreviewFont);
    PreviewFont = nullptr;
    LoadFresh();
    ASSERT_NE(nullptr, PreviewFont);
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, PreviewFont);
    TEXTMETRICA metrics = TEXTMETRICA();
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    EXPECT_NE(nullptr, previous);
    EXPECT_EQ(FW_BOLD, metrics.tmWeight);
    EXPECT_TRUE(metrics.tmItalic);
    EXPECT_EQ(17, metrics.tmHeight - metrics.tmInternalLeading);
}

} // namespace
