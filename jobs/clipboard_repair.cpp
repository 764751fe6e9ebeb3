#include "clipboard_repair.h"

#include <cstring>

#include "text_repair.h"
#include "unicode_conversion.h"

namespace {

HGLOBAL NewBlock(SIZE_T size, void*& data)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    data = block ? GlobalLock(block) : nullptr;
    if (!data && block) {
        GlobalFree(block);
        block = nullptr;
    }
    return block;
}

// The repaired text as Unicode, ending in a NUL.
HGLOBAL UnicodeBlock(const char16_t* text, unsigned length)
{
    void* data = nullptr;
    HGLOBAL block = NewBlock((length + 1) * sizeof(wchar_t), data);
    if (!block)
        return nullptr;
    std::memcpy(data, text, length * sizeof(wchar_t));
    static_cast<wchar_t*>(data)[length] = 0;
    GlobalUnlock(block);
    return block;
}

// The same in the destination code page, ending in a NUL.
HGLOBAL PageBlock(const char16_t* text, unsigned length, int destination, SIZE_T& written)
{
    const unsigned count = length * sizeof(char16_t);
    void* data = nullptr;
    HGLOBAL block = NewBlock(UnicodeConverter::OutputSize(count) + 1, data);
    if (!block)
        return nullptr;
    auto* bytes = static_cast<unsigned char*>(data);
    UnicodeConverter converter(EncodingUtf16, destination, false, true);
    const UnicodeChunk chunk = converter.Convert(bytes, reinterpret_cast<const unsigned char*>(text), count, true);
    written = chunk.written;
    bytes[written] = 0;
    GlobalUnlock(block);
    return block;
}

} // namespace

bool RepairedBlocks(const wchar_t* text, SIZE_T length, int destination, HGLOBAL& unicode, HGLOBAL& bytes,
                    SIZE_T& bytesLength)
{
    if (length == 0 || length > LongestRepairedText)
        return false;
    HANDLE heap = GetProcessHeap();
    auto* workspace = static_cast<RepairWorkspace*>(HeapAlloc(heap, 0, sizeof(RepairWorkspace)));
    auto* repaired = static_cast<char16_t*>(HeapAlloc(heap, 0, length * sizeof(char16_t)));
    bool done = false;
    if (workspace && repaired) {
        unsigned repairedLength = 0;
        const TextRepair repair = RepairText(reinterpret_cast<const char16_t*>(text), static_cast<unsigned>(length),
                                             repaired, &repairedLength, *workspace);
        if (repair.parts > 0) {
            unicode = UnicodeBlock(repaired, repairedLength);
            bytes = unicode ? PageBlock(repaired, repairedLength, destination, bytesLength) : nullptr;
            done = bytes != nullptr;
            if (!done && unicode)
                GlobalFree(unicode);
        }
    }
    if (workspace)
        HeapFree(heap, 0, workspace);
    if (repaired)
        HeapFree(heap, 0, repaired);
    return done;
}
