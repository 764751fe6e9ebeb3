// What the registry may hold that the program never wrote: values of other
// sizes and types, code pages out of range, strings without their NUL, and a
// key that cannot be created.
#include <cstring>
#include <cwchar>
#include <string>

#include "program_test_support.h"
#include "settings_test_registry.h"

namespace {

using StoredParameters = SettingsStoreTest;
using StoredStrings = SettingsStoreTest;
using StoredFont = SettingsStoreTest;

std::string Bytes(std::initializer_list<unsigned char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

TEST_F(StoredParameters, LargerThanFourBytesReadAsTheDefault)
{
    StoreValue("Parameters", REG_SZ, std::string("4456723", 8));
    EXPECT_EQ(DefaultParameters, LoadFresh().Parameters);
    StoreValue("Parameters", REG_BINARY, Bytes({0x13, 0x01, 0x44, 0x00, 0x00}));
    EXPECT_EQ(DefaultParameters, LoadFresh().Parameters);
}

std::string DwordBytes(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

// Read as the field's default, and what is saved next is that default, not
// the value found.
TEST_F(StoredParameters, ValuesOfAnotherTypeSizeOrRangeReadAsTheirDefaultsAndAreNotWrittenBack)
{
    const POINT centre = ScreenCentre();
    const struct {
        const char* name;
        DWORD type;
        std::string data;
        DWORD expected;  // what is loaded and then saved
    } cases[] = {
        {"Parameters", REG_SZ, std::string("!", 2), DefaultParameters},
        {"Parameters", REG_BINARY, Bytes({0x34, 0x02, 0x08, 0x00}), DefaultParameters},
        {"Parameters", REG_DWORD, Bytes({0x13, 0x01}), DefaultParameters},
        {"X", REG_DWORD, DwordBytes(0x80000000), static_cast<DWORD>(centre.x)},
        {"Y", REG_DWORD, DwordBytes(40000), static_cast<DWORD>(centre.y)},
        {"W", REG_DWORD, DwordBytes(0x7FFFFFFF), 0},
        {"W", REG_DWORD, DwordBytes(static_cast<DWORD>(-5)), 0},
        {"H", REG_SZ, std::string("300", 4), 0},
        {"H", REG_BINARY, DwordBytes(300), 0},
        {"HotKeys1", REG_SZ, std::string("kk", 3), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + (" " + std::to_string(c.type)));
        DeleteTarvoKey();
        StoreValue(c.name, c.type, c.data);
        HotKeys1 = 7;
        SaveSettings(LoadFresh());
        const StoredValue saved = ReadStoredValue(c.name);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), saved.type);
        ASSERT_EQ(4u, saved.data.size());
        EXPECT_EQ(c.expected, *reinterpret_cast<const DWORD*>(saved.data.data()));
    }
}

// Only the three languages the program has are a choice; anything else
// leaves the display language to decide.
TEST_F(StoredParameters, ALanguageTheProgramHasNotIsNoChoice)
{
    const struct {
        DWORD type;
        std::string data;
        DWORD expected;
    } cases[] = {
        {REG_DWORD, DwordBytes(0x0419), 0x0419},        {REG_DWORD, DwordBytes(0x0422), 0x0422},
        {REG_DWORD, DwordBytes(0x0409), 0x0409},        {REG_DWORD, DwordBytes(0x0819), 0},  // Russian, Moldova
        {REG_DWORD, DwordBytes(0x0407), 0},             {REG_SZ, std::string("ru", 3), 0},
        {REG_BINARY, Bytes({0x19, 0x04, 0x00}), 0},
    };
    for (const auto& c : cases) {
        DeleteTarvoKey();
        StoreValue("Language", c.type, c.data);
        EXPECT_EQ(c.expected, LoadFresh().Language) << c.type << " " << std::hex << c.data.size();
    }
}

TEST_F(StoredParameters, CodePagesAboveFourFallBackToTheirOwnDefaults)
{
    StoreDword("Parameters", 0xF0C30109);  // source 9, destination 0, stray high bits
    EXPECT_EQ(0xF0C30102u, LoadFresh().Parameters);
    StoreDword("Parameters", 0x008001F3);  // source 3, destination 15
    EXPECT_EQ(0x00800113u, LoadFresh().Parameters);
    StoreDword("Parameters", 0x000002FF);
    EXPECT_EQ(0x00000212u, LoadFresh().Parameters);
    StoreDword("Parameters", 0x00000244);  // the highest valid pair stays
    EXPECT_EQ(0x00000244u, LoadFresh().Parameters);
}

TEST_F(StoredParameters, OtherWordsMissingOrTooLargeReadAsTheirDefaults)
{
    StoreValue("X", REG_BINARY, Bytes({1, 0, 0, 0, 0, 0, 0, 0}));
    StoreValue("H", REG_DWORD, Bytes({0x33, 0x30, 0x30, 0x00, 0x00}));
    StoreValue("HotKeys1", REG_BINARY, Bytes({0x5A, 0x06, 0x78, 0x01, 0x00}));
    SettingsRecord loaded = SettingsRecord();
    loaded.W = 99;
    HotKeys1 = 7;
    LoadSettings(loaded);
    EXPECT_EQ(ScreenCentre().x, loaded.X);
    EXPECT_EQ(ScreenCentre().y, loaded.Y);
    EXPECT_EQ(0, loaded.W);
    EXPECT_EQ(0, loaded.H);
    EXPECT_EQ(0u, HotKeys1);
}

TEST_F(StoredStrings, PathsAreAlwaysTerminated)
{
    // Filling the whole field leaves no room for a NUL: the last character
    // goes.
    StoreValue("SrcPath", REG_SZ, std::string(SettingsPathSize, 's'));
    SettingsRecord loaded = LoadFresh();
    EXPECT_EQ(std::wstring(SettingsPathSize - 1, L's'), loaded.SrcPath);

    // A short value without a NUL must not run on into what the field held.
    StoreValue("SrcPath", REG_SZ, "C:\\x");
    loaded = SettingsRecord();
    std::wmemset(loaded.SrcPath, L'j', SettingsPathSize);
    LoadSettings(loaded);
    EXPECT_STREQ(L"C:\\x", loaded.SrcPath);
}

TEST_F(StoredStrings, PathsOfAnotherTypeReadAsEmpty)
{
    const std::wstring path = L"C:\\ab";
    StoreValue("SrcPath", REG_BINARY, std::string(reinterpret_cast<const char*>(path.c_str()), 12));
    StoreDword("DstPath", 0x00620061);  // "ab"
    SettingsRecord loaded = SettingsRecord();
    std::wmemset(loaded.SrcPath, L'j', SettingsPathSize);
    std::wmemset(loaded.DstPath, L'j', SettingsPathSize);
    LoadSettings(loaded);
    EXPECT_STREQ(L"", loaded.SrcPath);
    EXPECT_STREQ(L"", loaded.DstPath);
}

TEST_F(StoredStrings, OverLongPathsReadAsEmpty)
{
    StoreValue("SrcPath", REG_SZ, std::string(SettingsPathSize, 's') + '\0');
    StoreValue("DstPath", REG_BINARY, std::string(4 * SettingsPathSize, 'd'));
    SettingsRecord loaded = SettingsRecord();
    std::wmemset(loaded.SrcPath, L'j', SettingsPathSize);
    std::wmemset(loaded.DstPath, L'j', SettingsPathSize);
    LoadSettings(loaded);
    EXPECT_STREQ(L"", loaded.SrcPath);
    EXPECT_STREQ(L"", loaded.DstPath);
}

TEST_F(StoredFont, UnterminatedFaceNameIsCutToFitAndMakesAFont)
{
    LOGFONTA description = SampleFontDescription();
    std::memset(description.lfFaceName, 'F', sizeof description.lfFaceName);
    StoreValue("PreviewFont", REG_BINARY, std::string(reinterpret_cast<const char*>(&description), sizeof description));
    LoadFresh();
    EXPECT_EQ(std::string(LF_FACESIZE - 1, 'F'), PreviewFontDescription.lfFaceName);
    EXPECT_EQ(description.lfHeight, PreviewFontDescription.lfHeight);
    EXPECT_NE(nullptr, PreviewFont);
}

std::string FontBytes(const LOGFONTA& description)
{
    return std::string(reinterpret_cast<const char*>(&description), sizeof description);
}

TEST_F(StoredFont, OfAnyOtherSizeOrTypeGivesNoFont)
{
    const std::string whole = FontBytes(SampleFontDescription());
    for (const std::string& data : {whole.substr(0, whole.size() - 1), whole + '\0', std::string()}) {
        StoreValue("PreviewFont", REG_BINARY, data);
        LoadFresh();
        EXPECT_EQ(nullptr, PreviewFont) << data.size() << " bytes";
        EXPECT_EQ(0, PreviewFontDescription.lfHeight) << data.size() << " bytes";
    }
    StoreValue("PreviewFont", REG_SZ, whole);
    LoadFresh();
    EXPECT_EQ(nullptr, PreviewFont) << "a string";
}

// Not written back either: without a font nothing is saved over it.
TEST_F(StoredFont, FarLargerThanAnyScreenNeedsGivesNoFont)
{
    for (LONG LOGFONTA::*field : {&LOGFONTA::lfHeight, &LOGFONTA::lfWidth}) {
        for (const LONG size : {-30000L, 30000L}) {
            LOGFONTA description = SampleFontDescription();
            description.*field = size;
            StoreValue("PreviewFont", REG_BINARY, FontBytes(description));
            SaveSettings(LoadFresh());
            EXPECT_EQ(nullptr, PreviewFont) << size;
            EXPECT_EQ(FontBytes(description), ReadStoredValue("PreviewFont").data) << size;
        }
    }
}

const char OlvendarKey[] = "Software\\Olvendar";

// A volatile key can have no lasting subkey, so with Software\Olvendar made
// volatile the settings key cannot be created.
class BlockedKey : public SettingsStoreTest {
protected:
    void TearDown() override
    {
        if (parent_)
            RegCloseKey(parent_);
        RegDeleteKeyA(HKEY_CURRENT_USER, OlvendarKey);  // an empty key only
        SettingsStoreTest::TearDown();
    }
    HKEY parent_ = nullptr;
};

TEST_F(BlockedKey, AFailedCreateWritesNothing)
{
    if (RegDeleteKeyA(HKEY_CURRENT_USER, OlvendarKey) != ERROR_SUCCESS &&
        RegOpenKeyExA(HKEY_CURRENT_USER, OlvendarKey, 0, KEY_READ, &parent_) == ERROR_SUCCESS)
        GTEST_SKIP() << "Software\\Olvendar holds other keys";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, OlvendarKey, 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &parent_, nullptr));
    HKEY probe;
    if (RegCreateKeyExA(parent_, "tarvo", 0, nullptr, 0, KEY_WRITE, nullptr, &probe, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        RegDeleteKeyA(parent_, "tarvo");
        GTEST_SKIP() << "this registry lets a volatile key have a lasting subkey";
    }

    PreviewFontDescription = SampleFontDescription();
    PreviewFont = CreateFontIndirectA(&PreviewFontDescription);
    SaveSettings(LoadFresh());

    EXPECT_FALSE(SettingsKeyExists());
    DWORD values = 0, subkeys = 0;
    RegQueryInfoKeyA(parent_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(0u, values);
    EXPECT_EQ(0u, subkeys);
    EXPECT_NE(ERROR_SUCCESS, RegQueryValueExA(HKEY_CURRENT_USER, "Parameters", nullptr, nullptr, nullptr, nullptr));
}

} // namespace
