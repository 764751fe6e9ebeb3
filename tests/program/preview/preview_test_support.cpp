#include "preview_test_support.h"

#include <dlgs.h>

#include <algorithm>
#include <cstddef>

#include "preview.h"
#include "resource_ids.h"
#include "settings.h"
#include "stream_converter.h"

namespace {

HWND ClipboardOwner()
{
    static HWND owner = CreateWindowExA(0, "STATIC", "preview test clipboard owner", WS_POPUP, 0, 0, 1, 1, nullptr,
                                        nullptr, nullptr, nullptr);
    return owner;
}

void ReplaceClipboard(const std::string* text)
{
    ASSERT_TRUE(OpenClipboard(ClipboardOwner()));
    EmptyClipboard();
    if (text) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text->size() + 1);
        char* bytes = static_cast<char*>(GlobalLock(block));
        CopyMemory(bytes, text->c_str(), text->size() + 1);
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
    }
    CloseClipboard();
    PumpMessages(50);  // the viewer chain's notification
}

std::string ComboText(HWND combo, int index)
{
    char text[256] = "";
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length >= 0 && length < static_cast<LRESULT>(sizeof text))
        SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
        items.push_back(ComboText(combo, index));
    return items;
}

// Selects the item in one of the dialog's lists as a click does, with the
// notification that the dialog acts on.
void Select(HWND dialog, int list, const std::string& item)
{
    HWND combo = GetDlgItem(dialog, list);
    SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

} // namespace

void PutClipboardText(const std::string& text) { ReplaceClipboard(&text); }
void EmptyTheClipboard() { ReplaceClipboard(nullptr); }

std::wstring PaneText(HWND pane)
{
    std::wstring text(GetWindowTextLengthW(pane) + 1, L'\0');
    text.resize(GetWindowTextW(pane, &text[0], static_cast<int>(text.size())));
    return text;
}

// The system's numbers of the five code pages.
const UINT SystemPages[] = {866, 1251, 20866, 10007, 28595};

std::wstring Shown(const std::string& bytes, int page)
{
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(SystemPages[page], 0, bytes.data(),
                                                        static_cast<int>(bytes.size()), &text[0],
                                                        static_cast<int>(text.size()))));
    return text;
}

std::string InPage(const std::wstring& text, int page)
{
    std::string bytes(2 * text.size(), '\0');
    bytes.resize(static_cast<size_t>(WideCharToMultiByte(SystemPages[page], 0, text.data(),
                                                         static_cast<int>(text.size()), &bytes[0],
                                                         static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

void ShowFileText(const std::string& bytes)
{
    Settings.Parameters &= ~ParamPreview;
    OnRefreshPreview(MainWindow, 0, bytes.c_str());
    Settings.Parameters |= ParamPreview;
}

SIZE OuterSize(HWND window)
{
    RECT frame;
    GetWindowRect(window, &frame);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void SystemCommand(UINT item) { SendMessageA(MainWindow, WM_SYSCOMMAND, item, 0); }
bool SystemMenuChecked(UINT item) { return Checked(GetSystemMenu(MainWindow, FALSE), item); }

std::string Converted(const std::string& text, int source, int destination, bool newlines, bool intoCp1251)
{
    PageConverter converter = PageConverter::ForOption(source, destination, newlines);
    std::string result(2 * text.size() + 1, '\0');
    result.resize(converter.ConvertText(reinterpret_cast<unsigned char*>(&result[0]),
                                        reinterpret_cast<const unsigned char*>(text.data()),
                                        static_cast<unsigned>(text.size())));
    if (!intoCp1251)
        return result;
    PageConverter second = PageConverter::SecondPass(destination, newlines);
    std::string again(2 * result.size() + 1, '\0');
    again.resize(second.ConvertText(reinterpret_cast<unsigned char*>(&again[0]),
                                    reinterpret_cast<const unsigned char*>(result.data()),
                                    static_cast<unsigned>(result.size())));
    return again;
}

LOGFONTA IconTitleFont()
{
    LOGFONTA font = {};
    SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0);
    return font;
}

bool SameFont(const LOGFONTA& a, const LOGFONTA& b)
{
    return memcmp(&a, &b, offsetof(LOGFONTA, lfFaceName)) == 0 && lstrcmpA(a.lfFaceName, b.lfFaceName) == 0;
}

FontDialogVisit ChooseFontThroughTheMenu(bool pressOk, const std::string& avoid)
{
    FontDialogVisit visit;
    DialogAnswerer answerer([&](HWND dialog) {
        HWND faces = GetDlgItem(dialog, cmb1);
        visit.faces = ComboItems(faces);
        visit.initialFace = ComboText(faces, static_cast<int>(SendMessageA(faces, CB_GETCURSEL, 0, 0)));
        for (size_t index = 1; pressOk && index < visit.faces.size(); ++index) {
            const std::string& face = visit.faces[index];
            if (lstrcmpiA(face.c_str(), avoid.c_str()) == 0)
                continue;
            Select(dialog, cmb1, face);
            const std::vector<std::string> sizes = ComboItems(GetDlgItem(dialog, cmb3));
            if (std::find(sizes.begin(), sizes.end(), "12") == sizes.end())
                continue;
            visit.chosenFace = face;
            for (const std::string& size : sizes)
                visit.sizes.push_back(atoi(size.c_str()));
            Select(dialog, cmb3, "12");
            break;
        }
        PressButton(dialog, visit.chosenFace.empty() ? IDCANCEL : IDOK);
        return false;
    });
    SystemCommand(IDM_PREVIEW_FONT);
    return visit;
}

void PreviewTest::SetUp()
{
    TarvoWindowTest::SetUp();
    if (ButtonChecked(IDM_AUTO_CONVERT))
        Command(IDM_AUTO_CONVERT);
}
