#include "clipboard_view.h"

#include <cstring>

void ReadOpenClipboard(ClipboardView& view)
{
    std::memset(&view, 0, sizeof view);
    view.owner = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(GetClipboardOwner()));
    for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
        if (view.formatCount < ClipboardViewFormatCapacity)
            view.formats[view.formatCount] = format;
        ++view.formatCount;
    }

    HANDLE text = GetClipboardData(CF_TEXT);
    const SIZE_T size = text ? GlobalSize(text) : 0;
    const char* bytes = size ? static_cast<const char*>(GlobalLock(text)) : nullptr;
    if (bytes) {
        // Never past the block: a block without a NUL is what some tests
        // are about.
        const void* nul = std::memchr(bytes, 0, size);
        view.hasText = 1;
        view.blockSize = static_cast<DWORD>(size);
        view.terminated = nul != nullptr;
        view.textLength = static_cast<DWORD>(nul ? static_cast<const char*>(nul) - bytes : size);
        const DWORD kept = view.textLength < ClipboardViewTextCapacity ? view.textLength : ClipboardViewTextCapacity;
        std::memcpy(view.text, bytes, kept);
        GlobalUnlock(text);
    }

    HANDLE locale = GetClipboardData(CF_LOCALE);
    const DWORD* value = locale && GlobalSize(locale) >= sizeof(DWORD) ? static_cast<const DWORD*>(GlobalLock(locale))
                                                                        : nullptr;
    if (value) {
        view.locale = *value;
        GlobalUnlock(locale);
    }
}

bool ReadClipboard(HWND window, ClipboardView& view)
{
    if (!OpenClipboard(window))
        return false;
    ReadOpenClipboard(view);
    CloseClipboard();
    return true;
}
