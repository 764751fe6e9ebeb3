#include "file_messages.h"

void ReportFileProblem(HWND window, const char* problem, const char* path)
{
    MessageBoxA(window, path, problem, MB_ICONERROR | MB_OK);
}

void ReportProblem(HWND window, const char* message)
{
    MessageBoxA(window, message, "Tarvo", MB_ICONERROR | MB_OK);
}
