#include "binary_text.h"

#include <cstdint>
#include <cstring>

#include "detection_model.h"
#include "unicode_conversion.h"

namespace {

// 1 for each byte, or ASCII code unit, that text does not hold.
struct ControlTable {
    unsigned char of[256];
    ControlTable()
    {
        for (int c = 0; c < 256; ++c)
            of[c] = c < 0x80 && CyrillicModel.token[0][c] == ControlToken;
    }
};

const unsigned char* Controls()
{
    static const ControlTable table;
    return table.of;
}

// Whether any of the eight bytes of word is below 0x20 or DEL: the only
// bytes that may be controls. Text has few, so most words need no closer look.
bool MayHoldControls(std::uint64_t word)
{
    const std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const std::uint64_t del = word ^ (ones * 0x7F);
    return (((word - ones * 0x20) & ~word) | ((del - ones) & ~del)) & highs;
}

size_t CountControls(const unsigned char* bytes, size_t count, const unsigned char* controls)
{
    size_t found = 0, at = 0;
    for (; at + 8 <= count; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + at, 8);
        if (!MayHoldControls(word))
            continue;
        for (size_t k = at; k < at + 8; ++k)
            found += controls[bytes[k]];
    }
    for (; at < count; ++at)
        found += controls[bytes[at]];
    return found;
}

} // namespace

BinaryScan::BinaryScan(int encoding, bool bigEndian) : utf16_(encoding == EncodingUtf16), bigEndian_(bigEndian)
{
}

void BinaryScan::Read(const unsigned char* bytes, size_t count)
{
    const unsigned char* controls = Controls();
    if (!utf16_) {
        while (count > 0) {
            const size_t window = DetectionWindow - looked_;
            const size_t taken = count < window ? count : window;
            controls_ += CountControls(bytes, taken, controls);
            looked_ += taken;
            bytes += taken;
            count -= taken;
            if (looked_ == DetectionWindow)
                EndWindow();
        }
        return;
    }
    for (size_t at = 0; at < count; ++at, ++read_) {
        if (read_ % 2 == 0) {
            pending_ = bytes[at];
            continue;
        }
        const unsigned unit = pending_ << 8 | bytes[at];
        if (read_ == 1 && (unit == 0xFEFF || unit == 0xFFFE))
            bigEndian_ = unit == 0xFEFF;
        const unsigned character = bigEndian_ ? unit : (unit & 0xFF) << 8 | unit >> 8;
        controls_ += character < 0x80 && controls[character];
        if (++looked_ == DetectionWindow)
            EndWindow();
    }
}

void BinaryScan::Finish()
{
    if (looked_ > 0)
        Judge(lastLooked_ + looked_, lastControls_ + controls_);
    looked_ = controls_ = 0;
}

void BinaryScan::EndWindow()
{
    Judge(looked_, controls_);
    lastLooked_ = looked_;
    lastControls_ = controls_;
    looked_ = controls_ = 0;
}

void BinaryScan::Judge(size_t looked, size_t controls)
{
    // The same share as DecideCodePage's, so that what --in-place skips as
    // data is what detection finds to be no text.
    data_ = data_ || controls * 64 > looked;
}
