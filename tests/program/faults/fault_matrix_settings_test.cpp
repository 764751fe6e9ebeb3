// The fault matrix, the registry: every stored value malformed in its type,
// its size or its range at start. The program comes up on the desktop with
// code pages it knows, and what it stores at exit is well formed again.
#include "fault_matrix.h"

#include <windows.h>

#include <vector>

#include "main_window.h"
#include "program_test_support.h"
#include "settings.h"
#include "toolbars.h"

namespace {

struct StoredValue {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<BYTE> Dword(DWORD value) { return {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)}; }
std::vector<BYTE> Filled(size_t size, BYTE byte) { return std::vector<BYTE>(size, byte); }

std::vector<BYTE> HugeFont()
{
    LOGFONTA font = {};
    font.lfHeight = -100000;
    std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), 'A');  // no NUL
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&font);
    return std::vector<BYTE>(bytes, bytes + sizeof font);
}

const DWORD WithPreview = DefaultParameters | ParamPreview;

struct RegistryFault {
    const char* fault;
    std::vector<StoredValue> stored;
};

void PrintTo(const RegistryFault& row, std::ostream* stream) { *stream << row.fault; }

const RegistryFault Faults[] = {
    {"Parameters a long string", {{"Parameters", REG_SZ, Filled(40, 'x')}}},
    {"Parameters every bit set", {{"Parameters", REG_DWORD, Dword(0xFFFFFFFF)}}},
    {"X eight bytes", {{"X", REG_BINARY, Filled(8, 0x7F)}}},
    {"X and Y far off the desktop", {{"X", REG_DWORD, Dword(0x80000000)}, {"Y", REG_DWORD, Dword(0x7FFFFFFF)}}},
    {"W negative with the preview", {{"Parameters", REG_DWORD, Dword(WithPreview)}, {"W", REG_DWORD, Dword(-5)}}},
    {"H a million with the preview", {{"Parameters", REG_DWORD, Dword(WithPreview)}, {"H", REG_DWORD, Dword(1000000)}}},
    {"SrcPath 300 bytes without NUL", {{"SrcPath", REG_SZ, Filled(300, 'p')}}},
    {"DstPath a number", {{"DstPath", REG_DWORD, Dword(12345)}}},
    {"PreviewFont 59 bytes", {{"PreviewFont", REG_BINARY, Filled(59, 1)}}},
    {"PreviewFont huge and unterminated", {{"Parameters", REG_DWORD, Dword(WithPreview)}, {"PreviewFont", REG_BINARY, HugeFont()}}},
    {"HotKeys1 a string", {{"HotKeys1", REG_SZ, Filled(3, 'k')}}},
    {"HotKeys1 every bit set", {{"HotKeys1", REG_DWORD, Dword(0xFFFFFFFF)}}},
};

DWORD StoredSize(const char* name, DWORD* type)
{
    DWORD size = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    RegCloseKey(key);
    return size;
}

class RegistryFaults : public testing::TestWithParam<RegistryFault> {
protected:
    void SetUp() override { DeleteTarvoKey(); }
    void TearDown() override
    {
        StopTarvo();
        DeleteTarvoKey();
    }
};

TEST_P(RegistryFaults, StartOnTheDesktopAndStoreWellFormedValues)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const StoredValue& value : GetParam().stored)
        RegSetValueExA(key, value.name, 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);

    ASSERT_TRUE(StartTarvo());
    RECT desktop, frame, overlap;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(MainWindow, &frame);
    EXPECT_TRUE(IntersectRect(&overlap, &desktop, &frame)) << "on the desktop";
    EXPECT_LE(frame.right - frame.left, desktop.right - desktop.left);
    EXPECT_LE(frame.bottom - frame.top, desktop.bottom - desktop.top);
    EXPECT_GE(frame.right - frame.left, Settings.FixedWidth);
    EXPECT_GE(frame.bottom - frame.top, Settings.FixedHeight);
    EXPECT_LE(GetSourceIndex(), 4);
    EXPECT_LE(GetDestinationIndex(), 4);
    EXPECT_TRUE(ProgramAnswers());

    StopTarvo();
    DWORD type = 0;
    for (const char* name : {"Parameters", "X", "Y", "W", "H", "HotKeys1"}) {
        EXPECT_EQ(StoredSize(name, &type), 4u) << name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
    }
    for (const char* name : {"SrcPath", "DstPath"})
        EXPECT_EQ(StoredSize(name, &type), static_cast<DWORD>(SettingsPathSize)) << name;
    CountRow(false);
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryFaults, testing::ValuesIn(Faults), RowNameOf<RegistryFault>);

} // namespace
