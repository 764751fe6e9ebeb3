// The Windows package as a user unpacks it: both programs run from the
// folder, and their version resources say what Explorer's Properties show.
// TARVO_PACKAGE_DIR names the folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "started_tarvo.h"

namespace {

std::string PackageFile(const std::string& name)
{
    const char* folder = std::getenv("TARVO_PACKAGE_DIR");
    return std::string(folder != nullptr ? folder : ".") + "\\" + name;
}

struct VersionResource {
    bool found = false;
    std::string fixedVersion;  // major.minor from the fixed part
    std::vector<char> data;

    std::string Text(const char* name)
    {
        const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
        char* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0)
            return "(missing)";
        return value;
    }
};

VersionResource ReadVersion(const std::string& file)
{
    VersionResource resource;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    resource.data.resize(size);
    if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, resource.data.data()))
        return resource;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(resource.data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
        length >= sizeof *fixed) {
        resource.found = true;
        resource.fixedVersion =
            std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS));
    }
    return resource;
}

TEST(WindowsPackage, BothProgramsNameTarvoOlvendarAndTheVersion)
{
    for (const char* name : {"tarvo.exe", "tarvoconv.exe"}) {
        SCOPED_TRACE(name);
        VersionResource version = ReadVersion(PackageFile(name));
        ASSERT_TRUE(version.found);
        EXPECT_EQ(version.fixedVersion, TARVO_EXPECTED_VERSION);
        EXPECT_EQ(version.Text("ProductName"), "Tarvo");
        EXPECT_EQ(version.Text("CompanyName"), "Olvendar");
        EXPECT_EQ(version.Text("FileVersion"), TARVO_EXPECTED_VERSION);
        EXPECT_EQ(version.Text("ProductVersion"), TARVO_EXPECTED_VERSION);
        EXPECT_EQ(version.Text("OriginalFilename"), name);
        EXPECT_NE(version.Text("FileDescription").find("Tarvo"), std::string::npos);
    }
}

TEST(WindowsPackage, TarvoconvPrintsItsVersionFromTheFolder)
{
    char temporary[MAX_PATH];
    ASSERT_NE(GetTempPathA(sizeof temporary, temporary), 0u);
    const std::string printed = std::string(temporary) + "tarvoconv-version.txt";
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE output =
        CreateFileA(printed.c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ChildProcess tarvoconv;
    const bool started = tarvoconv.Start("\"" + PackageFile("tarvoconv.exe") + "\" --version", output);
    CloseHandle(output);
    ASSERT_TRUE(started);
    EXPECT_EQ(tarvoconv.ExitCode(), 0u);

    char text[256] = "";
    DWORD read = 0;
    HANDLE file = CreateFileA(printed.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    DeleteFileA(printed.c_str());
    EXPECT_EQ(std::string(text, read), "tarvoconv (Tarvo) " TARVO_EXPECTED_VERSION "\n");
}

TEST(WindowsPackage, TarvoStartsFromTheFolderAndEndsOnClose)
{
    // It keeps its settings in the prefix's registry: none before, none after.
    const char key[] = "Software\\Olvendar\\tarvo";
    RegDeleteTreeA(HKEY_CURRENT_USER, key);
    Started tarvo;
    HWND window = nullptr;
    ASSERT_TRUE(StartUp(PackageFile("tarvo.exe"), tarvo, window)) << PackageFile("tarvo.exe");
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tarvo.ExitCode(), 0u);
    EXPECT_FALSE(TarvoWindow());
    RegDeleteTreeA(HKEY_CURRENT_USER, key);
}

} // namespace
