// What the engine benchmarks convert, shared by the native benchmark and the
// Win32 one: 1 MiB of Cyrillic words in lines of about 60 characters, and
// the conversions timed on it.
#pragma once

#include <random>
#include <vector>

#include "stream_converter.h"

const unsigned BenchTextSize = 1 << 20;

enum BenchText {
    Koi8rLetters,      // every letter in 0xC0..0xFF
    Cp1251Typography,  // letters, ё, «», dashes and №: bytes in 0x80..0xBF too
};

// Random words, each letter drawn from the 64 of the alphabet (ё one time
// in a hundred in cp1251), with guillemets, dashes and numbers between them
// in the cp1251 text. The same text on every call.
inline std::vector<unsigned char> BenchTextOf(BenchText kind, bool crlf)
{
    std::mt19937 random(42);
    std::vector<unsigned char> text;
    text.reserve(BenchTextSize + 80);
    const auto letter = [&] {
        const int index = random() % 64;  // А..я
        if (kind == Koi8rLetters)
            return ByteTable[CodePageKoi8r][index];
        return static_cast<unsigned char>(random() % 100 == 0 ? 0xB8 : 0xC0 + index);
    };
    size_t column = 0;
    while (text.size() < BenchTextSize) {
        const bool quoted = kind == Cp1251Typography && random() % 10 == 0;
        const size_t start = text.size();
        if (quoted)
            text.push_back(0xAB);
        for (int n = 1 + random() % 10; n > 0; --n)
            text.push_back(letter());
        if (quoted)
            text.push_back(0xBB);
        if (kind == Cp1251Typography && random() % 12 == 0) {
            const unsigned char dash = random() % 2 ? 0x97 : 0x96;
            text.insert(text.end(), {' ', dash});
        } else if (kind == Cp1251Typography && random() % 40 == 0) {
            text.insert(text.end(), {' ', 0xB9, ' ', '1', '7'});
        }
        column += text.size() - start + 1;
        if (column > 60) {
            if (crlf)
                text.push_back(0x0D);
            text.push_back(0x0A);
            column = 0;
        } else {
            text.push_back(' ');
        }
    }
    text.resize(BenchTextSize);
    return text;
}

struct BenchCase {
    const char* name;
    BenchText text;
    int source, destination, newlines;
    bool stream;         // PageConverter::Convert, else ConvertText
    unsigned blockSize;  // bytes per call
};

const BenchCase BenchCases[] = {
    {"Keep, KOI8-R letters", Koi8rLetters, CodePageKoi8r, CodePageCp1251, 0, true, BenchTextSize},
    {"Keep, cp1251 typography", Cp1251Typography, CodePageCp1251, CodePageKoi8r, 0, true, BenchTextSize},
    {"AddCr, KOI8-R letters", Koi8rLetters, CodePageKoi8r, CodePageCp1251, 1, true, BenchTextSize},
    {"StripCr, cp1251 typography", Cp1251Typography, CodePageCp1251, CodePageKoi8r, 1, true, BenchTextSize},
    {"text form: Keep, KOI8-R letters", Koi8rLetters, CodePageKoi8r, CodePageCp1251, 0, false, BenchTextSize},
    {"text form: AddCr, KOI8-R letters", Koi8rLetters, CodePageKoi8r, CodePageCp1251, 1, false, BenchTextSize},
    {"text form: StripCr, cp1251 typography", Cp1251Typography, CodePageCp1251, CodePageKoi8r, 1, false,
     BenchTextSize},
    {"Keep, KOI8-R letters, 512-byte blocks", Koi8rLetters, CodePageKoi8r, CodePageCp1251, 0, true, 512},
};

const int BenchCaseCount = sizeof BenchCases / sizeof BenchCases[0];

const char* const PathNames[ConversionPathCount] = {"scalar", "SSSE3", "AVX2", "AVX-512"};

// The case's text: CR LF line ends where the conversion takes them away.
inline std::vector<unsigned char> PrepareCase(const BenchCase& c)
{
    return BenchTextOf(c.text, c.newlines && c.destination == CodePageKoi8r);
}

inline PageConverter ConverterOf(const BenchCase& c)
{
    return PageConverter::ForOption(c.source, c.destination, c.newlines);
}

// One pass of the case over the whole text, a stream of its own. Every
// block is converted into the start of output (2 * BenchTextSize bytes), as
// the file job does.
inline void RunCase(const BenchCase& c, PageConverter& converter, unsigned char* output, const unsigned char* text)
{
    for (unsigned at = 0; at < BenchTextSize; at += c.blockSize) {
        if (c.stream)
            converter.Convert(output, text + at, c.blockSize);
        else
            converter.ConvertText(output, text + at, c.blockSize);
    }
    converter.Finish(output);
}
