#include "file_messages.h"

#include "interface_language.h"

void ReportFileProblem(HWND window, UINT problem, const FilePath& path)
{
    MessageBoxW(window, path.c_str(), LoadText(problem).c_str(), MB_ICONERROR | MB_OK);
}

void ReportProblem(HWND window, UINT message)
{
    MessageBoxW(window, LoadText(message).c_str(), L"Tarvo", MB_ICONERROR | MB_OK);
}
