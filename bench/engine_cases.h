// What the engine benchmarks convert, shared by the native benchmark and the
// Win32 one: 1 MiB of generated Cyrillic words in lines of about 60
// characters, 256 KiB of real Russian prose (so that the input and the
// output stay in the L2 cache), and the conversions timed on them.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dirent.h>
#include <iconv.h>
#endif

#include "stream_converter.h"

const unsigned BenchTextSize = 1 << 20;
const unsigned ProseSize = 256 << 10;

enum BenchText {
    Koi8rLetters,      // every letter in 0xC0..0xFF
    Cp1251Typography,  // letters, ё, «», dashes and №: bytes in 0x80..0xBF too
    Prose,             // fortunes, in the case's source page
    ProseWithoutYo,    // the same with every byte in 0x80..0xBF made е
};

// Random words, each letter drawn from the 64 of the alphabet (ё one time
// in a hundred in cp1251), with guillemets, dashes and numbers between them
// in the cp1251 text. The same text on every call.
inline std::vector<unsigned char> BenchTextOf(BenchText kind, bool crlf, unsigned size = BenchTextSize)
{
    std::mt19937 random(42);
    std::vector<unsigned char> text;
    text.reserve(size + 80);
    const auto letter = [&] {
        const int index = random() % 64;  // А..я
        if (kind == Koi8rLetters)
            return ByteTable[CodePageKoi8r][index];
        return static_cast<unsigned char>(random() % 100 == 0 ? 0xB8 : 0xC0 + index);
    };
    size_t column = 0;
    while (text.size() < size) {
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
    text.resize(size);
    return text;
}

// Where the prose comes from: Debian's fortunes-ru, in UTF-8, or the folder
// TARVO_BENCH_PROSE names. Under Wine the host's files are on drive Z.
inline std::string ProseFolder()
{
    if (const char* folder = std::getenv("TARVO_BENCH_PROSE"))
        return folder;
#if defined(_WIN32)
    return "Z:\\usr\\share\\games\\fortunes\\ru";
#else
    return "/usr/share/games/fortunes/ru";
#endif
}

// fortune's index of a file, a name that Debian links to a file again (Wine
// shows the links as files), or a hidden file.
inline bool IndexOrLink(const std::string& name)
{
    const auto endsWith = [&](const char* end) {
        const std::string e = end;
        return name.size() > e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
    };
    return endsWith(".dat") || endsWith(".u8") || name[0] == '.';
}

// The folder's fortune files, in the order of their names.
inline std::vector<std::string> ProseFiles(const std::string& folder)
{
    std::vector<std::string> files;
#if defined(_WIN32)
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        const std::string name = found.cFileName;
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) && !IndexOrLink(name))
            files.push_back(folder + "\\" + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
#else
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (entry->d_type == DT_REG && !IndexOrLink(name))
                files.push_back(folder + "/" + name);
        }
        closedir(dir);
    }
#endif
    std::sort(files.begin(), files.end());
    return files;
}

// UTF-8 in the code page: the system's converter, with '?' for what the
// page lacks (a few hundred characters in 3.5 MB of fortunes).
inline std::vector<unsigned char> FromUtf8(const std::string& utf8, int page)
{
    std::vector<unsigned char> text;
#if defined(_WIN32)
    const int windowsPages[] = {866, 1251, 20866, 10007, 28595};
    const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::vector<wchar_t> characters(wide);
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), characters.data(), wide);
    text.resize(WideCharToMultiByte(windowsPages[page], 0, characters.data(), wide, nullptr, 0, "?", nullptr));
    WideCharToMultiByte(windowsPages[page], 0, characters.data(), wide, reinterpret_cast<char*>(text.data()),
                        static_cast<int>(text.size()), "?", nullptr);
#else
    const char* const iconvNames[] = {"CP866", "CP1251", "KOI8-R", "MACCYRILLIC", "ISO-8859-5"};
    const iconv_t cd = iconv_open(iconvNames[page], "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return text;
    text.resize(utf8.size());
    char* in = const_cast<char*>(utf8.data());
    char* out = reinterpret_cast<char*>(text.data());
    size_t inLeft = utf8.size(), outLeft = text.size();
    while (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) && inLeft > 0 && outLeft > 0) {
        *out++ = '?';  // a character the page lacks, or a broken sequence
        --outLeft;
        do {
            ++in;
            --inLeft;
        } while (inLeft > 0 && (*in & 0xC0) == 0x80);
    }
    iconv_close(cd);
    text.resize(text.size() - outLeft);
#endif
    return text;
}

struct ProseSample {
    std::vector<unsigned char> text;
    std::string source;  // what the benchmark's output says about it
};

// size bytes of prose in page: every seventh fortune, so that the sample
// has the whole collection's make-up (a quarter of the bytes ASCII, lines
// of about 29 bytes, ё in some authors' fortunes and not in others'), with
// CR LF line ends where asked. Generated text where there are no fortunes.
inline ProseSample ProseOf(int page, bool crlf, unsigned size = ProseSize)
{
    const std::string folder = ProseFolder();
    const std::vector<std::string> files = ProseFiles(folder);
    std::string utf8;
    for (const std::string& file : files) {
        if (FILE* f = std::fopen(file.c_str(), "rb")) {
            char buffer[1 << 16];
            for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
                utf8.append(buffer, got);
            std::fclose(f);
        }
    }
    const std::vector<unsigned char> all = FromUtf8(utf8, page);
    ProseSample sample;
    const unsigned char separator[] = {'\n', '%', '\n'};
    auto start = all.begin();
    for (size_t fortune = 0; start != all.end(); ++fortune) {
        auto end = std::search(start, all.end(), separator, separator + 2);
        end = end == all.end() ? end : end + 2;  // the separator's LF starts the next one
        if (fortune % 7 == 0)
            sample.text.insert(sample.text.end(), start, end);
        start = end;
    }
    if (sample.text.size() < 4096) {
        return {BenchTextOf(page == CodePageKoi8r ? Koi8rLetters : Cp1251Typography, crlf, size),
                "generated (no fortunes in " + folder + ")"};
    }
    sample.source = "fortunes from " + folder + ", every 7th of " + std::to_string(files.size()) + " files";
    while (sample.text.size() < size)
        sample.text.insert(sample.text.end(), sample.text.begin(), sample.text.end());
    if (crlf) {
        std::vector<unsigned char> lines;
        for (unsigned char b : sample.text) {
            if (b == '\n')
                lines.push_back('\r');
            lines.push_back(b);
        }
        sample.text.swap(lines);
    }
    sample.text.resize(size);
    return sample;
}

struct BenchCase {
    const char* id;  // the benchmark's name for it
    const char* name;
    BenchText text;
    int source, destination, newlines;
    bool stream;         // PageConverter::Convert, else ConvertText
    unsigned blockSize;  // bytes per call
    unsigned size;       // bytes of text
};

const BenchCase BenchCases[] = {
    {"prose_keep_cp1251", "Keep, prose cp1251 -> KOI8-R", Prose, CodePageCp1251, CodePageKoi8r, 0, true, ProseSize,
     ProseSize},
    {"prose_keep_koi8r", "Keep, prose KOI8-R -> cp1251", Prose, CodePageKoi8r, CodePageCp1251, 0, true, ProseSize,
     ProseSize},
    // The vector look-up's bound on prose: no block needs more than the rows
    // for 0xC0..0xFF.
    {"prose_keep_cp1251_bound", "Keep, prose cp1251 -> KOI8-R, ё made е", ProseWithoutYo, CodePageCp1251,
     CodePageKoi8r, 0, true, ProseSize, ProseSize},
    {"prose_stripcr", "StripCr, prose cp1251 CR LF -> KOI8-R LF", Prose, CodePageCp1251, CodePageKoi8r, 1, true,
     ProseSize, ProseSize},
    {"prose_addcr", "AddCr, prose KOI8-R LF -> cp1251 CR LF", Prose, CodePageKoi8r, CodePageCp1251, 1, true, ProseSize,
     ProseSize},
    {"keep_koi8r", "Keep, KOI8-R letters", Koi8rLetters, CodePageKoi8r, CodePageCp1251, 0, true, BenchTextSize,
     BenchTextSize},
    {"keep_cp1251", "Keep, cp1251 typography", Cp1251Typography, CodePageCp1251, CodePageKoi8r, 0, true,
     BenchTextSize, BenchTextSize},
    {"addcr_koi8r", "AddCr, KOI8-R letters", Koi8rLetters, CodePageKoi8r, CodePageCp1251, 1, true, BenchTextSize,
     BenchTextSize},
    {"stripcr_cp1251", "StripCr, cp1251 typography", Cp1251Typography, CodePageCp1251, CodePageKoi8r, 1, true,
     BenchTextSize, BenchTextSize},
    {"text_keep_koi8r", "text form: Keep, KOI8-R letters", Koi8rLetters, CodePageKoi8r, CodePageCp1251, 0, false,
     BenchTextSize, BenchTextSize},
    {"text_addcr_koi8r", "text form: AddCr, KOI8-R letters", Koi8rLetters, CodePageKoi8r, CodePageCp1251, 1, false,
     BenchTextSize, BenchTextSize},
    {"text_stripcr_cp1251", "text form: StripCr, cp1251 typography", Cp1251Typography, CodePageCp1251,
     CodePageKoi8r, 1, false, BenchTextSize, BenchTextSize},
    {"keep_koi8r_512", "Keep, KOI8-R letters, 512-byte blocks", Koi8rLetters, CodePageKoi8r, CodePageCp1251, 0,
     true, 512, BenchTextSize},
};

const int BenchCaseCount = sizeof BenchCases / sizeof BenchCases[0];

// The case's text, with CR LF line ends where the conversion takes them
// away, and where it came from.
inline ProseSample TextOf(const BenchCase& c)
{
    const bool crlf = c.newlines && c.destination == CodePageKoi8r;
    if (c.text == Prose)
        return ProseOf(c.source, crlf, c.size);
    if (c.text == ProseWithoutYo) {
        ProseSample sample = ProseOf(c.source, crlf, c.size);
        const unsigned char e = c.source == CodePageKoi8r ? 0xC5 : 0xE5;
        for (unsigned char& b : sample.text)
            b = b >= 0x80 && b < 0xC0 ? e : b;
        return sample;
    }
    return {BenchTextOf(c.text, crlf, c.size), "generated"};
}

inline PageConverter ConverterOf(const BenchCase& c)
{
    return PageConverter::ForOption(c.source, c.destination, c.newlines);
}

// One pass of the case over the whole text, a stream of its own. Every
// block is converted into the start of output (2 * c.size bytes), as the
// file job does.
inline void RunCase(const BenchCase& c, PageConverter& converter, unsigned char* output, const unsigned char* text)
{
    for (unsigned at = 0; at < c.size; at += c.blockSize) {
        if (c.stream)
            converter.Convert(output, text + at, c.blockSize);
        else
            converter.ConvertText(output, text + at, c.blockSize);
    }
    converter.Finish(output);
}

// A path's name as --kernel takes it: lower case, without the hyphen.
inline std::string PathKey(const std::string& name)
{
    std::string key;
    for (char c : name)
        if (c != '-')
            key += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return key;
}

// Which paths to time: all, or those that --kernel=NAME[,NAME...] among the
// arguments or else TARVO_CONVERSION_PATH names (scalar, ssse3, avx2,
// avx512). Takes --kernel out of argv.
inline std::vector<int> PathsToTime(int& argc, char** argv)
{
    std::string asked;
    if (const char* path = std::getenv("TARVO_CONVERSION_PATH"))
        asked = path;
    int kept = 1;
    for (int n = 1; n < argc; ++n) {
        const std::string argument = argv[n];
        if (argument.compare(0, 9, "--kernel=") == 0)
            asked = argument.substr(9);
        else
            argv[kept++] = argv[n];
    }
    argc = kept;
    std::vector<int> paths;
    for (int path = 0; path < ConversionPathCount; ++path) {
        const std::string key = "," + PathKey(ConversionPathName(path)) + ",";
        if (asked.empty() || ("," + PathKey(asked) + ",").find(key) != std::string::npos)
            paths.push_back(path);
    }
    return paths;
}
