// libFuzzer target for the repair of garbled text, built with
// AddressSanitizer and UndefinedBehaviorSanitizer: the input, as UTF-16,
// is exactly as large as its count. The repaired text is never longer, the
// same in place, and the same again, and the same repaired line by line
// (the repair tries the last line's chain first, which must not matter).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "text_repair.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static RepairWorkspace workspace;
    const unsigned count = static_cast<unsigned>(size / 2);
    if (count == 0)
        return 0;
    std::vector<char16_t> text(count), out(count), inPlace(count);
    std::memcpy(text.data(), data, count * 2);
    unsigned length = 0, inPlaceLength = 0;
    const TextRepair repair = RepairText(text.data(), count, out.data(), &length, workspace);
    if (length > count || repair.confidence < 0 || repair.confidence > 100)
        std::abort();
    if (repair.parts == 0 && std::memcmp(out.data(), text.data(), count * 2) != 0)
        std::abort();
    inPlace = text;
    RepairText(inPlace.data(), count, inPlace.data(), &inPlaceLength, workspace);
    if (inPlaceLength != length || std::memcmp(inPlace.data(), out.data(), length * 2) != 0)
        std::abort();
    std::vector<char16_t> lines(count);
    unsigned linesLength = 0;
    for (unsigned at = 0; at < count;) {
        unsigned end = at;
        while (end < count && text[end] != u'\n')
            ++end;
        end += end < count;
        unsigned length = 0;
        RepairText(text.data() + at, end - at, lines.data() + linesLength, &length, workspace);
        linesLength += length;
        at = end;
    }
    if (linesLength != length || std::memcmp(lines.data(), out.data(), length * 2) != 0)
        std::abort();
    char description[200];
    DescribeRepair(repair, description, sizeof description);
    return 0;
}
