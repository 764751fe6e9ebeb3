// tarvo.exe started as a user starts it, as its own process: shared by the
// end-to-end tests and the test of the Windows package.
#pragma once

#include <windows.h>

#include <string>

#include "child_process.h"
#include "test_waits.h"

using Started = ChildProcess;

// A host path as Wine shows it: the host's root is drive Z:.
std::string WindowsPath(const std::string& hostPath);

// Starts the program at exe; process is null when it could not start.
Started StartProcess(const std::string& exe);

// Starts a command line that may hold any character (a file name in
// Cyrillic on a Western system), in folder when one is given.
Started StartCommand(const std::wstring& line, const wchar_t* folder = nullptr);

HWND TarvoWindow();

// The first bytes of a file that may hold any character, read sharing its
// deletion: a test's look at a file the program is replacing with its
// converted form must never make the replacement fail. Empty when the file
// cannot be opened.
std::string ReadSharingDeletion(const std::wstring& path);

// Starts the tarvo.exe at exe and waits until its window is fully up.
bool StartUp(const std::string& exe, Started& started, HWND& window);
