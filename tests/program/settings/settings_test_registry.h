// Raw access to the settings key for the settings tests, beside the code
// under test, and a fixture that starts and ends each test without the key.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "settings.h"

// One value as the registry holds it.
struct StoredValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::string data;
};

// Stores exactly these bytes, whatever the type.
void StoreValue(const char* name, DWORD type, const std::string& data);
void StoreDword(const char* name, DWORD value);
StoredValue ReadStoredValue(const char* name);
std::set<std::string> StoredValueNames();
bool SettingsKeyExists();

// The centre of the primary screen, where a first start puts the window.
POINT ScreenCentre();

// Loads into a fresh record, as WinMain does.
SettingsRecord LoadFresh();

// A font description that differs from the defaults in every field that
// matters for the panes.
LOGFONTA SampleFontDescription();

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
