#include "file_messages.h"

void ReportFileProblem(HWND window, const char* problem, const FilePath& path)
{
    MessageBoxW(window, path.c_str(), Widened(problem).c_str(), MB_ICONERROR | MB_OK);
}

void ReportProblem(HWND window, const char* message)
{
    MessageBoxA(window, message, "Tarvo", MB_ICONERROR | MB_OK);
}
