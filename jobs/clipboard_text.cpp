#include "clipboard_text.h"

#include <cstring>

#include "code_page_tables.h"
#include "unicode_conversion.h"
#include "unicode_tables.h"

namespace {

// Locks the block of format; false when there is none or it is empty.
bool LockFormat(UINT format, ClipboardText& text)
{
    text.block = GetClipboardData(format);
    text.blockSize = text.block ? GlobalSize(text.block) : 0;
    text.placed = text.blockSize ? static_cast<const unsigned char*>(GlobalLock(text.block)) : nullptr;
    return text.placed != nullptr;
}

// The bytes of Unicode text up to its NUL; a careless program may fill the
// block without one.
SIZE_T UnicodeLength(const unsigned char* block, SIZE_T size)
{
    const wchar_t* units = reinterpret_cast<const wchar_t*>(block);
    SIZE_T count = 0;
    while (count < size / sizeof(wchar_t) && units[count])
        ++count;
    return count * sizeof(wchar_t);
}

// The code page in which the system reads the bytes of format (CF_TEXT or
// CF_OEMTEXT) when it makes Unicode text of them: the page of CF_LOCALE's
// language; 0 when there is none.
UINT LocalePage(UINT format)
{
    HANDLE block = GetClipboardData(CF_LOCALE);
    const DWORD* locale =
        block && GlobalSize(block) >= sizeof(DWORD) ? static_cast<const DWORD*>(GlobalLock(block)) : nullptr;
    if (!locale)
        return 0;
    const LCTYPE type = format == CF_OEMTEXT ? LOCALE_IDEFAULTCODEPAGE : LOCALE_IDEFAULTANSICODEPAGE;
    DWORD page = 0;
    if (!GetLocaleInfoW(*locale, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&page),
                        sizeof page / sizeof(wchar_t)))
        page = 0;
    GlobalUnlock(block);
    return page;
}

// Whether count units of Unicode text are exactly length bytes read in
// page; scratch holds count units.
bool Decodes(UINT page, const unsigned char* bytes, SIZE_T length, const wchar_t* units, SIZE_T count,
             wchar_t* scratch)
{
    if (length == 0 || count == 0)
        return length == count;
    if (length > 0x7FFFFFFF || count > 0x7FFFFFFF)
        return false;
    const int read = MultiByteToWideChar(page, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(length),
                                         scratch, static_cast<int>(count));
    return static_cast<SIZE_T>(read) == count && std::memcmp(scratch, units, count * sizeof(wchar_t)) == 0;
}

// Whether count units of Unicode text are the text of a block of bytes
// read in page (0 for none). A block without a NUL may have been read as
// the system ended it, with a NUL over its last byte (Wine does).
bool ReadsAs(UINT page, const ClipboardText& bytes, const wchar_t* units, SIZE_T count, wchar_t* scratch)
{
    const SIZE_T whole = bytes.placedLength;
    const bool ended = whole == bytes.blockSize;
    return page && (Decodes(page, bytes.placed, whole, units, count, scratch) ||
                    (ended && Decodes(page, bytes.placed, whole - 1, units, count, scratch)));
}

// Whether the clipboard's Unicode text is only what the system made of the
// bytes of format, which the program placed. Unicode text that cannot be
// read leaves the bytes; when the two cannot be compared (no memory), the
// Unicode text is taken: it holds every character either way.
bool IsSystemsReading(UINT format)
{
    ClipboardText unicode = {}, bytes = {};
    bool same = !LockFormat(CF_UNICODETEXT, unicode);
    if (!same && LockFormat(format, bytes)) {
        const SIZE_T count = UnicodeLength(unicode.placed, unicode.blockSize) / sizeof(wchar_t);
        const auto* units = reinterpret_cast<const wchar_t*>(unicode.placed);
        while (bytes.placedLength < bytes.blockSize && bytes.placed[bytes.placedLength])
            ++bytes.placedLength;
        if (auto* scratch = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, count * sizeof(wchar_t)))) {
            const UINT systemPage = format == CF_OEMTEXT ? GetOEMCP() : GetACP();
            same = ReadsAs(systemPage, bytes, units, count, scratch) ||
                   ReadsAs(LocalePage(format), bytes, units, count, scratch);
            HeapFree(GetProcessHeap(), 0, scratch);
        }
    }
    ReleaseClipboardText(unicode);
    ReleaseClipboardText(bytes);
    return same;
}

// How the program that copied placed its text: CF_UNICODETEXT or, for
// bytes (CF_TEXT or CF_OEMTEXT, which the system gives as CF_TEXT),
// CF_TEXT; 0 for no text. The first text format listed is always one the
// program placed: the system lists those it makes after them. A Unicode
// text listed after the bytes may be the program's own, holding what its
// bytes could not (a program that puts its 8-bit text first), or only
// the system's reading of the bytes.
UINT PlacedTextFormat()
{
    UINT bytesFormat = 0;
    bool unicode = false;
    for (UINT format = 0; (format = EnumClipboardFormats(format)) != 0;) {
        if (format == CF_UNICODETEXT) {
            if (!bytesFormat)
                return CF_UNICODETEXT;
            unicode = true;
        } else if (!bytesFormat && (format == CF_TEXT || format == CF_OEMTEXT)) {
            bytesFormat = format;
        }
    }
    if (!bytesFormat)
        return 0;
    // This program's own text, read by the window that put it there: the
    // Unicode text beside it is the letters its bytes show in the
    // destination code page, and the bytes are what was converted.
    const bool ownText = GetClipboardOwner() && GetClipboardOwner() == GetOpenClipboardWindow();
    return unicode && !ownText && !IsSystemsReading(bytesFormat) ? CF_UNICODETEXT : CF_TEXT;
}

ClipboardTextRead EncodeInCp1251(ClipboardText& text)
{
    const SIZE_T length = text.placedLength;
    // A leading U+FEFF would pass for a byte order mark and be dropped; it
    // has no cp1251 byte in any case.
    if (length >= 2 && text.placed[0] == 0xFF && text.placed[1] == 0xFE)
        return TextBeyondCp1251;
    if (length > 0x10000000)  // 128 Mi characters: more than the converter counts
        return NoMemoryForText;
    const unsigned count = static_cast<unsigned>(length);
    const SIZE_T encodedSize = UnicodeConverter::OutputSize(count) + 1;
    text.encoded = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, encodedSize));
    if (!text.encoded)
        return NoMemoryForText;
    UnicodeConverter converter(EncodingUtf16, CodePageCp1251, false, false);
    const UnicodeChunk chunk = converter.Convert(text.encoded, text.placed, count, true);
    if (chunk.stop != UnicodeConverted)
        return TextBeyondCp1251;
    text.encoded[chunk.written] = 0;
    text.bytes = text.encoded;
    text.size = chunk.written + 1;
    return TextToConvert;
}

} // namespace

ClipboardTextRead ReadClipboardText(ClipboardText& text)
{
    text = ClipboardText();
    text.format = PlacedTextFormat();
    if (!text.format || !LockFormat(text.format, text))
        return NoClipboardText;
    ClipboardTextRead read = TextToConvert;
    if (text.format == CF_TEXT) {
        text.bytes = text.placed;
        text.size = text.blockSize;
        while (text.placedLength < text.blockSize && text.placed[text.placedLength])
            ++text.placedLength;
    } else {
        text.placedLength = UnicodeLength(text.placed, text.blockSize);
        read = EncodeInCp1251(text);
    }
    if (read != TextToConvert)
        ReleaseClipboardText(text);
    return read;
}

bool LockPlainText(ClipboardText& text)
{
    text = ClipboardText();
    text.format = CF_TEXT;
    if (!LockFormat(CF_TEXT, text))
        return false;
    text.bytes = text.placed;
    text.size = text.blockSize;
    return true;
}

bool LockPlacedUnicode(ClipboardText& text)
{
    text = ClipboardText();
    if (PlacedTextFormat() != CF_UNICODETEXT)
        return false;
    text.format = CF_UNICODETEXT;
    if (!LockFormat(CF_UNICODETEXT, text))
        return false;
    text.placedLength = UnicodeLength(text.placed, text.blockSize);
    return true;
}

void ReleaseClipboardText(ClipboardText& text)
{
    if (text.placed)
        GlobalUnlock(text.block);
    if (text.encoded)
        HeapFree(GetProcessHeap(), 0, text.encoded);
    text.placed = text.bytes = text.encoded = nullptr;
}

bool SystemReadsTextIn(int page, const unsigned char* bytes, SIZE_T length)
{
    // The Windows numbers of the five pages, in CodePageIndex order.
    static const UINT WindowsPages[CodePageCount] = {866, 1251, 20866, 10007, 28595};
    SIZE_T n = 0;
    while (n < length && bytes[n] < 0x80)
        ++n;
    if (n == length)
        return true;
    const UINT localePage = LocalePage(CF_TEXT);
    return page >= 0 && page < CodePageCount && (localePage ? localePage : GetACP()) == WindowsPages[page];
}

HGLOBAL UnicodeBlockOf(const unsigned char* bytes, SIZE_T count, int page)
{
    SIZE_T length = 0;
    while (length < count && bytes[length])
        ++length;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, (length + 1) * sizeof(wchar_t));
    wchar_t* units = block ? static_cast<wchar_t*>(GlobalLock(block)) : nullptr;
    if (!units) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    for (SIZE_T n = 0; n < length; ++n) {
        const unsigned char byte = bytes[n];
        const wchar_t character = byte < 0x80 ? byte : static_cast<wchar_t>(UnicodeOfByte[page][byte - 0x80]);
        // A byte the page gives no character travels as the control
        // character of its number, as other programs read it.
        units[n] = character ? character : byte;
    }
    units[length] = 0;
    GlobalUnlock(block);
    return block;
}
