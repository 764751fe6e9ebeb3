#include "clipboard_text.h"

#include "code_page_tables.h"
#include "unicode_conversion.h"
#include "unicode_tables.h"

namespace {

// The formats a program placed come before the ones the system makes from
// them.
UINT PlacedTextFormat()
{
    for (UINT format = 0; (format = EnumClipboardFormats(format)) != 0;) {
        if (format == CF_UNICODETEXT)
            return CF_UNICODETEXT;
        if (format == CF_TEXT || format == CF_OEMTEXT)
            return CF_TEXT;
    }
    return 0;
}

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
    text.encoded = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, UnicodeOutputSize(count) + 1));
    if (!text.encoded)
        return NoMemoryForText;
    SelectUnicodeConversion(EncodingUtf16, CodePageCp1251, 0, 0);
    const UnicodeChunk chunk = ConvertUnicodeChunk(text.encoded, text.placed, count, 1, 1);
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
