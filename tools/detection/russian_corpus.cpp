#include "russian_corpus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <set>

const char* const DefaultCorpusDir = "/usr/share/games/fortunes/ru";
const char* const IconvNames[CodePageCount] = {"CP866", "CP1251", "KOI8-R", "MACCYRILLIC", "ISO-8859-5"};

namespace {

[[noreturn]] void Fail(const std::string& message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
}

// Runs all of in through cd; an input iconv cannot take at all becomes '?'.
std::string Convert(iconv_t cd, const std::string& in, size_t stepOnError)
{
    std::string out(in.size() * 4 + 16, '\0');
    char* inPointer = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outPointer = &out[0];
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft) != static_cast<size_t>(-1))
            break;
        const size_t step = std::min(stepOnError, inLeft);
        if (outLeft == 0)
            Fail("iconv: output larger than expected");
        *outPointer++ = '?';
        --outLeft;
        inPointer += step;
        inLeft -= step;
    }
    out.resize(out.size() - outLeft);
    return out;
}

Text FromUtf8(const std::string& utf8)
{
    iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    const std::string wide = Convert(cd, utf8, 1);
    iconv_close(cd);
    Text text;
    for (size_t at = 0; at + 4 <= wide.size(); at += 4) {
        const auto byte = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(wide[at + k])); };
        text.push_back(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
    }
    return text;
}

bool IsWhite(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

Text Trimmed(const Text& text)
{
    size_t first = 0, last = text.size();
    while (first < last && IsWhite(text[first]))
        ++first;
    while (last > first && IsWhite(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool IsRussian(const Text& piece)
{
    int cyrillic = 0, latin = 0;
    for (char32_t c : piece) {
        cyrillic += c >= 0x400 && c <= 0x4FF;
        latin += (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
    }
    return cyrillic >= 8 && cyrillic > latin;
}

} // namespace

std::vector<Text> ReadFortunes(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* folder = opendir(dir.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            const std::string name = entry->d_name;
            if (name.size() > 3 && name.compare(name.size() - 3, 3, ".u8") == 0)
                names.push_back(name);
        }
        closedir(folder);
    }
    std::sort(names.begin(), names.end());

    std::vector<Text> fortunes;
    std::set<Text> seen;
    for (const std::string& name : names) {
        std::ifstream file(dir + "/" + name, std::ios::binary);
        const std::string utf8((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const Text all = FromUtf8(utf8) + U"\n%\n";
        // Fortunes are separated by lines that hold only "%".
        Text fortune;
        size_t start = 0;
        for (size_t end = all.find(U'\n'); end != Text::npos; start = end + 1, end = all.find(U'\n', start)) {
            const Text line = all.substr(start, end + 1 - start);
            if (line != U"%\n") {
                fortune += line;
                continue;
            }
            fortune = Trimmed(fortune);
            if (!fortune.empty() && seen.insert(fortune).second)
                fortunes.push_back(fortune);
            fortune.clear();
        }
    }
    if (fortunes.empty())
        Fail("no fortunes in " + dir + "/*.u8: install the fortunes-ru package");
    return fortunes;
}

std::vector<Text> PartOf(const std::vector<Text>& fortunes, CorpusPart part)
{
    std::vector<Text> chosen;
    for (size_t n = 0; n < fortunes.size(); ++n) {
        if ((n % 10 == 0) == (part == HeldOutPart))
            chosen.push_back(fortunes[n]);
    }
    return chosen;
}

std::vector<Text> CutPieces(const std::vector<Text>& fortunes, size_t shortest, size_t longest, unsigned seed)
{
    Text whole;
    for (const Text& fortune : fortunes)
        whole += fortune + U"\n";

    std::vector<Text> pieces;
    unsigned long long state = seed * 2654435761ULL + 1;
    size_t start = 0;
    for (;;) {
        while (start < whole.size() && IsWhite(whole[start]))
            ++start;
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const size_t length = shortest + static_cast<size_t>(state >> 33) % (longest - shortest + 1);
        if (start + length >= whole.size())
            break;
        // The last white space within the length, or else the first after it.
        size_t end = start + length;
        while (end > start + shortest && !IsWhite(whole[end]))
            --end;
        if (!IsWhite(whole[end])) {
            end = start + length;
            while (end < whole.size() && !IsWhite(whole[end]))
                ++end;
        }
        const Text piece = Trimmed(whole.substr(start, end - start));
        if (piece.size() >= shortest && piece.size() <= longest && IsRussian(piece))
            pieces.push_back(piece);
        start = end;
    }
    return pieces;
}

Bytes Encode(const Text& text, int page)
{
    std::string wide;
    for (char32_t c : text) {
        for (int k = 0; k < 4; ++k)
            wide.push_back(static_cast<char>((c >> (8 * k)) & 0xFF));
    }
    iconv_t cd = iconv_open((std::string(IconvNames[page]) + "//TRANSLIT").c_str(), "UTF-32LE");
    if (cd == reinterpret_cast<iconv_t>(-1))
        Fail(std::string("iconv knows no ") + IconvNames[page]);
    const std::string encoded = Convert(cd, wide, 4);
    iconv_close(cd);
    return Bytes(encoded.begin(), encoded.end());
}

std::array<char32_t, 256> DecodingOf(int page)
{
    std::array<char32_t, 256> characters;
    iconv_t cd = iconv_open("UTF-32LE", IconvNames[page]);
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte);
        unsigned char out[8];
        char* inPointer = &in;
        char* outPointer = reinterpret_cast<char*>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        const bool done = iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft) != static_cast<size_t>(-1);
        characters[byte] = done && outLeft == 4
            ? static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24)
            : 0xFFFD;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return characters;
}

bool ReadTheSame(const Bytes& bytes, const std::array<char32_t, 256>& one, const std::array<char32_t, 256>& other)
{
    for (unsigned char byte : bytes) {
        if (one[byte] != other[byte])
            return false;
    }
    return true;
}
