#include "main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "clipboard_conversion.h"
#include "command_line_files.h"
#include "commands.h"
#include "file_conversion.h"
#include "file_job.h"
#include "help.h"
#include "hot_keys.h"
#include "interface_language.h"
#include "job_progress.h"
#include "job_pump.h"
#include "live_parameters.h"
#include "preview.h"
#include "preview_font.h"
#include "resource_ids.h"
#include "screen_scale.h"
#include "settings.h"
#include "settings_transfer.h"
#include "system_menu.h"
#include "toolbars.h"
#include "tray.h"

HINSTANCE Instance;
HWND MainWindow;
int Initializing;
HMENU CodePageMenu;
HMENU CommandMenu;
HMENU TrayMenu;
HCURSOR HelpCursor;

namespace {

// A Unicode window: its title and the texts of its menus, tooltips and
// boxes are in the interface language, which the ANSI code page may not
// hold (Russian on a Western system).
const wchar_t ClassName[] = L"Tarvo";
const DWORD MainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
const DWORD MainWindowExStyle = WS_EX_CONTEXTHELP | WS_EX_WINDOWEDGE | WS_EX_ACCEPTFILES;

int Height(const RECT& rect) { return rect.bottom - rect.top; }

// Without the preview the window is the two toolbars, one above the other,
// as wide as the wider of them.
void MeasureFixedSize(HWND window)
{
    RECT command, codePage, lastCommand, lastCodePage;
    GetWindowRect(CommandBar, &command);
    GetWindowRect(CodePageBar, &codePage);
    SendMessageA(CommandBar, TB_GETITEMRECT, 7, reinterpret_cast<LPARAM>(&lastCommand));
    SendMessageA(CodePageBar, TB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&lastCodePage));

    RECT frame = {0, 0, lastCommand.right > lastCodePage.right ? lastCommand.right : lastCodePage.right,
                  Height(command) + Height(codePage)};
    AdjustFrameForDpi(frame, GetWindowLongA(window, GWL_STYLE), GetWindowLongA(window, GWL_EXSTYLE), WindowDpi);
    Settings.FixedWidth = frame.right - frame.left;
    Settings.FixedHeight = frame.bottom - frame.top;
}

void SetFixedSize(HWND window)
{
    MeasureFixedSize(window);
    SetWindowPos(window, nullptr, 0, 0, Settings.FixedWidth, Settings.FixedHeight, SWP_NOMOVE | SWP_NOZORDER);
}

BOOL OnCreate(HWND window, const CREATESTRUCTW*)
{
    MainWindow = window;
    WindowDpi = DpiOfWindow(window);
    CreateToolbars(window);
    SetFixedSize(window);
    SendMessageA(CommandBar, TB_AUTOSIZE, 0, 0);
    SendMessageA(CodePageBar, TB_AUTOSIZE, 0, 0);
    InsertSystemMenuItems(window);
    CommandMenu = LoadLanguageMenu(IDR_TRAY_MENU);
    TrayMenu = GetSubMenu(CommandMenu, 0);
    CodePageMenu = LoadLanguageMenu(IDR_CODEPAGE_MENU);
    ApplySettings(Settings, window);
    JoinClipboardChain(window);
    Initializing = 0;
    HelpCursor = LoadCursorA(Instance, MAKEINTRESOURCEA(IDC_CONTEXT_HELP_CURSOR));
    InstallHotKeys(window, HotKeys1);  // a key taken by another program: silent at start
    return TRUE;
}

void OnDestroy(HWND window)
{
    RemoveHotKeys(window);
    RemoveTrayIcon(window);
    CloseHelp(window);
    DestroyCursor(HelpCursor);
    HelpCursor = nullptr;
    CaptureSettings(Settings, window);
    ChangeClipboardChain(window, NextViewer);
    NextViewer = nullptr;
    DragAcceptFiles(window, FALSE);
    DestroyMenu(CommandMenu);
    DestroyMenu(CodePageMenu);
    CommandMenu = TrayMenu = CodePageMenu = nullptr;
    PostQuitMessage(0);
    DefWindowProcW(window, WM_DESTROY, 0, 0);
    // The children go with the window; nothing draws the pictures now.
    MainWindow = CommandBar = CodePageBar = SourcePane = ResultPane = nullptr;
    DestroyToolbarImages();
    DestroyPaneFont();
}

// Asked before log-off or shutdown. A file converting now is cancelled
// first: it unwinds, its input as it was, before the session goes on.
BOOL OnQueryEndSession()
{
    CancelFileJob();
    return TRUE;
}

// At log-off or shutdown the window is not destroyed: the settings are
// saved now, exactly as at exit, or every change of the session is lost.
void OnEndSession(HWND window, BOOL ending)
{
    if (!ending)
        return;
    DiscardUnfinishedOutput();
    CaptureSettings(Settings, window);
    SaveSettings(Settings);
}

// The window came onto a screen of another scale, or its screen's scale
// changed: the pictures, the buttons and the fixed size are made anew for
// it, and the window goes where the system suggests, at the size kept for
// it (its W and H are 96-DPI values, so they stay as they are).
void OnDpiChanged(HWND window, int dpi, const RECT* suggested)
{
    WindowDpi = dpi;
    ScaleToolbars(dpi);
    MeasureFixedSize(window);
    const bool preview = (Settings.Parameters & ParamPreview) && Settings.W != 0;
    const int width = preview ? ToScreen(Settings.W, dpi) : Settings.FixedWidth;
    const int height = preview ? ToScreen(Settings.H, dpi) : Settings.FixedHeight;
    const int wasInitializing = Initializing;
    Initializing = 1;
    SetWindowPos(window, nullptr, suggested->left, suggested->top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    Initializing = wasInitializing;
    SetPaneFonts();
}

// Without the preview the window can be neither enlarged nor shrunk; with
// it, from the fixed size up to the desktop's.
void OnGetMinMaxInfo(MINMAXINFO* info)
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const POINT desktopSize = {desktop.right - desktop.left, desktop.bottom - desktop.top};
    const POINT fixedSize = {Settings.FixedWidth, Settings.FixedHeight};
    info->ptMaxSize = desktopSize;
    info->ptMaxPosition.x = info->ptMaxPosition.y = 0;
    info->ptMinTrackSize = fixedSize;
    const bool fixed = Settings.FixedWidth != 0 && !(Settings.Parameters & ParamPreview);
    info->ptMaxTrackSize = fixed ? fixedSize : desktopSize;
}

} // namespace

BOOL RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass = {};
    static_assert(sizeof windowClass == 48, "the 32-bit WNDCLASSEXW");
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_TARVO), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_TARVO_SMALL), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    if (RegisterClassExW(&windowClass))
        return TRUE;

    // Systems without the extended call: the same class without small icon.
    WNDCLASSW plain = {};
    plain.style = windowClass.style;
    plain.lpfnWndProc = windowClass.lpfnWndProc;
    plain.hInstance = windowClass.hInstance;
    plain.hIcon = windowClass.hIcon;
    plain.hCursor = windowClass.hCursor;
    plain.hbrBackground = windowClass.hbrBackground;
    plain.lpszClassName = windowClass.lpszClassName;
    return RegisterClassW(&plain) != 0;
}

HWND CreateMainWindow(HINSTANCE instance)
{
    // The real size and place are set while the window is created.
    return CreateWindowExW(MainWindowExStyle, ClassName, L"Tarvo", MainWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A registered message has no number to put among the cases.
    if (message == TaskbarCreatedMessage && message != 0) {
        OnTaskbarCreated(window);
        return 0;
    }
    switch (message) {
    case WM_CREATE: return OnCreate(window, reinterpret_cast<CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_CLOSE: CloseMainWindow(window); return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_SIZE: OnSize(window, static_cast<int>(wParam), (short)LOWORD(lParam), (short)HIWORD(lParam)); return 0;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); break;
    case WM_NOTIFY: return OnNotify(window, static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
    case WM_KEYDOWN: OnKeyDown(window, wParam); break;
    case WM_COMMAND: OnCommand(window, LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam)); return 0;
    case WM_SYSCOMMAND: if (OnSysCommand(window, wParam)) return 0; break;
    case WM_LBUTTONDOWN: OnLeftButtonDown(window, (short)LOWORD(lParam), (short)HIWORD(lParam)); break;
    case WM_DROPFILES: OnDropFiles(window, reinterpret_cast<HDROP>(wParam)); return 1;
    case WM_COPYDATA: return OnCopyData(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_DRAWCLIPBOARD: OnClipboardChange(window, wParam, lParam); return 1;
    case WM_DEFERRED_DRAWCLIPBOARD: OnClipboardChange(window, wParam, lParam); return 1;
    case WM_CHANGECBCHAIN: OnChangeClipboardChain(window, reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam)); return 1;
    case WM_HOTKEY: OnHotKey(window, static_cast<int>(wParam)); return 1;
    case WM_TRAYNOTIFY: OnTrayNotify(window, lParam); break;
    case WM_QUERYENDSESSION: return OnQueryEndSession();
    case WM_ENDSESSION: OnEndSession(window, static_cast<BOOL>(wParam)); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(); break;
    case WM_SETCURSOR: if (ShowJobCursor(LOWORD(lParam))) return TRUE; break;
    case WM_FILEJOB: OnFileJob(window, wParam, lParam); return 0;
    case WM_STANDINS: OnStandIns(window, static_cast<int>(wParam), static_cast<unsigned long>(lParam)); return 0;
    case WM_GETPARAMETERS: return LiveParameters(window);
    case WM_DPICHANGED: OnDpiChanged(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_REFRESHPREVIEW: OnRefreshPreview(window, static_cast<int>(wParam), reinterpret_cast<const char*>(lParam)); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
