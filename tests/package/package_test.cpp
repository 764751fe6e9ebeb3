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

using namespace std::string_literals;

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

// Runs tarvoconv.exe from the folder with its standard output going to a
// file, and returns what it wrote there, or "exit N" when it failed.
std::string RunTarvoconv(const std::string& arguments, const std::string& outputFile)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::string command = "\"" + PackageFile("tarvoconv.exe") + "\" " + arguments;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(output);
        return "not started";
    }
    CloseHandle(output);
    CloseHandle(info.hThread);
    const DWORD code = ExitCode(info.hProcess);
    if (code != 0)
        return "exit " + std::to_string(code);
    std::string text(4096, '\0');
    DWORD read = 0;
    HANDLE file = CreateFileA(outputFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    return text.substr(0, read);
}

TEST(WindowsPackage, TarvoconvConvertsFromTheFolder)
{
    char temporary[MAX_PATH];
    ASSERT_NE(GetTempPathA(sizeof temporary, temporary), 0u);
    const std::string input = std::string(temporary) + "tarvo-package-in.txt";
    const std::string output = std::string(temporary) + "tarvo-package-out.txt";
    HANDLE file = CreateFileA(input.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "\xE1\xD1\n", 3, &written, nullptr);  // KOI8-R "Ая"
    CloseHandle(file);

    EXPECT_EQ(RunTarvoconv("--version", output), "tarvoconv (Tarvo) " TARVO_EXPECTED_VERSION "\n");
    EXPECT_EQ(RunTarvoconv("-n -f koi8-r -t utf-16 \"" + input + "\"", output), "\xFF\xFE\x10\x04\x4F\x04\r\0\n\0"s);
    DeleteFileA(input.c_str());
    DeleteFileA(output.c_str());
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
    EXPECT_EQ(ExitCode(tarvo.process), 0u);
    EXPECT_FALSE(TarvoWindow());
    RegDeleteTreeA(HKEY_CURRENT_USER, key);
}

} // namespace
