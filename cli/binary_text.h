// Whether an input is data rather than text, for --in-place, which leaves
// data alone unless forced: a text conversion would garble it.
#pragma once

#include <cstddef>

// Looks at an input as it is read, window after window, by the code page
// detector's own test: data is more than one character in 64 of a window
// that is a control character text does not hold (NUL and most other C0
// controls, DEL). Tabs, line and page ends, Ctrl-Z and escape count as
// text. UTF-16 is looked at by its code units, in the order its byte order
// mark gives (else the order named), so that the zero bytes of its ASCII
// are no controls; every other encoding byte by byte. Every window of the
// input is judged, so that data after a first window of text is found too;
// the last, where shorter than a window, together with the one before it.
class BinaryScan {
public:
    // encoding: of the input (CodePageIndex, EncodingUtf8, EncodingUtf16);
    // bigEndian: UTF-16 without a mark is read big-endian.
    BinaryScan(int encoding, bool bigEndian);

    // The input's bytes, all of them in order.
    void Read(const unsigned char* bytes, size_t count);

    // The input has ended: judges its last window.
    void Finish();

    // Data was found: at once in a window judged, or by Finish.
    bool FoundData() const { return data_; }

private:
    void EndWindow();
    void Judge(size_t looked, size_t controls);

    bool utf16_;
    bool bigEndian_;
    bool data_ = false;
    unsigned long long read_ = 0;  // of UTF-16: bytes read so far
    unsigned pending_ = 0;         // of UTF-16: the first byte of a code unit
    size_t looked_ = 0, controls_ = 0;                // in the window being read
    size_t lastLooked_ = 0, lastControls_ = 0;        // in the window before it
};
