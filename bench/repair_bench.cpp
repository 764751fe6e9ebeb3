// How fast RepairText (engine/text_repair.h) goes through 1 MiB of text
// (as UTF-8; about 580,000 characters): Russian prose from Debian's
// fortunes-ru in lines, clean, garbled whole by one step or by two, and
// clean with one line in ten garbled. The C library's iconv converting the
// same text from UTF-8 to UTF-16 is the anchor: the least any repair has to
// do is read the text once.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <iconv.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "text_repair.h"

namespace {

const size_t TextSize = 1 << 20;

std::string Fortunes()
{
    const std::string dir = "/usr/share/games/fortunes/ru";
    std::vector<std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (name.size() > 3 && name.compare(name.size() - 3, 3, ".u8") == 0)
                files.push_back(dir + "/" + name);
        }
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    std::string text;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        std::istringstream lines(all.str());
        std::string line;
        while (std::getline(lines, line) && text.size() < TextSize) {
            if (line != "%" && !line.empty())
                text += line + "\n";
        }
    }
    text.resize(std::min(text.size(), TextSize));
    // Not in the middle of a character.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
        text.pop_back();
    if (!text.empty() && static_cast<unsigned char>(text.back()) >= 0xC0)
        text.pop_back();
    return text;
}

std::string Convert(const std::string& text, const char* from, const char* to)
{
    iconv_t cd = iconv_open(to, from);
    std::string out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = &out[0];
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            const unsigned char byte = static_cast<unsigned char>(*in);
            if (std::string(from) != "UTF-8") {
                // A byte the page leaves undefined passes as the C1
                // control of its number, as programs pass it in the wild.
                *outPtr++ = static_cast<char>(0xC0 | byte >> 6);
                *outPtr++ = static_cast<char>(0x80 | (byte & 0x3F));
                outLeft -= 2;
                ++in;
                --inLeft;
            } else {
                // A character the page lacks becomes "?".
                *outPtr++ = '?';
                --outLeft;
                do {
                    ++in;
                    --inLeft;
                } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
            }
        }
    }
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::u16string Utf16(const std::string& utf8)
{
    const std::string bytes = Convert(utf8, "UTF-8", "UTF-16LE");
    std::u16string units(bytes.size() / 2, 0);
    for (size_t at = 0; at < units.size(); ++at)
        units[at] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * at]) |
                                          static_cast<unsigned char>(bytes[2 * at + 1]) << 8);
    return units;
}

// Text written as written and read as read, back in UTF-8.
std::string Garble(const std::string& utf8, const char* written, const char* read)
{
    return Convert(Convert(utf8, "UTF-8", written), read, "UTF-8");
}

enum Case { Clean, Utf8AsCp1251, Koi8rAsCp1251, Utf8AsCp1251Twice, OneLineInTen };

std::u16string TextOf(Case kind)
{
    const std::string clean = Fortunes();
    switch (kind) {
    case Clean:
        return Utf16(clean);
    case Utf8AsCp1251:
        return Utf16(Garble(clean, "UTF-8", "CP1251"));
    case Koi8rAsCp1251:
        return Utf16(Garble(clean, "KOI8-R", "CP1251"));
    case Utf8AsCp1251Twice:
        return Utf16(Garble(Garble(clean, "UTF-8", "CP1251"), "UTF-8", "CP1251"));
    case OneLineInTen: {
        std::istringstream lines(clean);
        std::string line, text;
        for (int number = 0; std::getline(lines, line); ++number)
            text += (number % 10 == 5 ? Garble(line, "UTF-8", "CP1251") : line) + "\n";
        return Utf16(text);
    }
    }
    return {};
}

void Repair(benchmark::State& state)
{
    const std::u16string text = TextOf(static_cast<Case>(state.range(0)));
    if (text.empty()) {
        state.SkipWithError("no fortunes: apt-get install fortunes-ru");
        return;
    }
    std::u16string out(text.size(), 0);
    static RepairWorkspace workspace;
    unsigned parts = 0;
    for (auto _ : state) {
        unsigned length = 0;
        const TextRepair repair = RepairText(text.data(), static_cast<unsigned>(text.size()), &out[0], &length, workspace);
        parts = repair.parts;
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["parts_repaired"] = parts;
    state.counters["characters"] = static_cast<double>(text.size());
}

// The anchor: iconv reading the same megabyte of UTF-8 into UTF-16.
void IconvToUtf16(benchmark::State& state)
{
    const std::string text = Fortunes();
    std::string out(text.size() * 2 + 16, '\0');
    iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
    for (auto _ : state) {
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        char* outPtr = &out[0];
        size_t outLeft = out.size();
        iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        benchmark::DoNotOptimize(out.data());
    }
    iconv_close(cd);
}

} // namespace

BENCHMARK(Repair)
    ->ArgName("case")
    ->Arg(Clean)
    ->Arg(Utf8AsCp1251)
    ->Arg(Koi8rAsCp1251)
    ->Arg(Utf8AsCp1251Twice)
    ->Arg(OneLineInTen)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(IconvToUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
