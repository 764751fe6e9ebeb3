#include "cyrillic_corpus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <set>

#include "affix_expansion.h"

const char* const LanguageNames[LanguageCount] = {"Russian", "Ukrainian", "Belarusian", "Bulgarian", "Serbian",
                                                  "Macedonian"};
const char* const IconvNames[ReadingCount] = {"CP866", "CP1251", "KOI8-R", "MACCYRILLIC", "ISO-8859-5", "KOI8-U",
                                              "CP1125"};

namespace {

// ManualPagesByPage splits by page rather than by line: the n-th page (in
// the order of their paths) counts where n % 3 == 0, calibrates where
// n % 3 == 1 and is held out where n % 3 == 2, as the corpus of files
// (make_file_corpus.py) splits them, and a line that other parts' pages
// hold too (the translators' notes) counts nowhere.
enum SourceKind { Fortunes, ManualPages, ManualPagesByPage, Hunspell, Aspell, Thesaurus, FreeDictIndex };

struct Source {
    int language;
    SourceKind kind;
    const char* path;  // a folder, a file, or a dictionary's path without .dic/.aff
    const char* package;
    const char* licence;
};

const Source Sources[] = {
    {LanguageRussian, Fortunes, "/usr/share/games/fortunes/ru", "fortunes-ru", "GPL-2+"},
    {LanguageRussian, Hunspell, "/usr/share/hunspell/ru_RU", "hunspell-ru", "BSD-style, A. I. Lebedev"},
    {LanguageRussian, Thesaurus, "/usr/share/mythes/th_ru_RU_v2.dat", "mythes-ru", "LGPL-2.1"},
    {LanguageRussian, ManualPagesByPage, "/usr/share/man/ru", "manpages-ru", "GPL-2+ and others"},
    {LanguageUkrainian, Hunspell, "/usr/share/hunspell/uk_UA", "hunspell-uk", "GPL-2+ or LGPL-2.1+ or MPL-1.1"},
    {LanguageUkrainian, Aspell, "uk", "aspell-uk", "GPL-2+ or LGPL-2+"},
    {LanguageUkrainian, Thesaurus, "/usr/share/mythes/th_uk_UA_v2.dat", "mythes-uk", "GPL-2+ or LGPL-2.1+ or MPL-1.1"},
    {LanguageUkrainian, ManualPagesByPage, "/usr/share/man/uk", "manpages-uk", "GPL-2+ and others"},
    {LanguageBelarusian, Hunspell, "/usr/share/hunspell/be_BY", "hunspell-be", "CC-BY-SA"},
    {LanguageBulgarian, Fortunes, "/usr/share/games/fortunes/bg", "fortunes-bg", "GPL-1+"},
    {LanguageBulgarian, Hunspell, "/usr/share/hunspell/bg_BG", "hunspell-bg", "GPL-2"},
    {LanguageBulgarian, Thesaurus, "/usr/share/mythes/th_bg_BG_v2.dat", "mythes-bg", "GPL-2"},
    {LanguageSerbian, Hunspell, "/usr/share/hunspell/sr_RS", "hunspell-sr", "GPL-2+ or LGPL-2.1 or MPL-1.1"},
    {LanguageSerbian, ManualPagesByPage, "/usr/share/man/sr", "manpages-sr", "GPL-2+ and others"},
    {LanguageMacedonian, ManualPages, "/usr/share/man/mk", "manpages-mk", "GPL-3+"},
    {LanguageMacedonian, FreeDictIndex, "/usr/share/dictd/freedict-mkd-bul.index", "dict-freedict-mkd-bul", "GPL-3+"},
};

// The characters of the words set in sentences, at most, per language and
// part: enough for the pair statistics, few enough to read fast.
const size_t SentenceBudget = 1500000;

[[noreturn]] void Fail(const std::string& message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
}

// Runs all of in through cd; an input iconv cannot take becomes '?' when
// lenient, and false otherwise.
bool Convert(iconv_t cd, const std::string& in, size_t stepOnError, bool lenient, std::string& out)
{
    out.assign(in.size() * 4 + 16, '\0');
    char* inPointer = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outPointer = &out[0];
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft) != static_cast<size_t>(-1))
            break;
        if (!lenient)
            return false;
        const size_t step = std::min(stepOnError, inLeft);
        *outPointer++ = '?';
        --outLeft;
        inPointer += step;
        inLeft -= step;
    }
    out.resize(out.size() - outLeft);
    return true;
}

Text FromUtf8(const std::string& utf8)
{
    iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    std::string wide;
    Convert(cd, utf8, 1, true, wide);
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

bool IsCyrillic(char32_t c)
{
    return c >= 0x400 && c <= 0x4FF;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string ReadCommand(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

std::vector<std::string> FilesIn(const std::string& dir, const std::string& ending)
{
    std::vector<std::string> names;
    if (DIR* folder = opendir(dir.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            const std::string name = entry->d_name;
            if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
                names.push_back(dir + "/" + name);
        }
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<Text> Lines(const Text& all)
{
    std::vector<Text> lines;
    size_t start = 0;
    for (size_t end = all.find(U'\n'); ; start = end + 1, end = all.find(U'\n', start)) {
        lines.push_back(all.substr(start, end == Text::npos ? Text::npos : end - start));
        if (end == Text::npos)
            break;
    }
    return lines;
}

// Fortunes are separated by lines that hold only "%".
std::vector<Text> ReadFortunes(const std::string& dir)
{
    std::vector<Text> fortunes;
    for (const std::string& path : FilesIn(dir, ".u8")) {
        Text fortune;
        for (const Text& line : Lines(FromUtf8(ReadFile(path)) + U"\n%")) {
            if (line != U"%") {
                fortune += line + U"\n";
                continue;
            }
            fortune = Trimmed(fortune);
            if (!fortune.empty())
                fortunes.push_back(fortune);
            fortune.clear();
        }
    }
    return fortunes;
}

// The text lines of each manual page, without the formatter's requests and
// escapes, page by page.
std::vector<std::vector<Text>> ReadManualPageLines(const std::string& dir)
{
    std::vector<std::string> paths;
    for (const std::string& section : FilesIn(dir, "")) {
        for (const std::string& page : FilesIn(section, ".gz"))
            paths.push_back(page);
    }
    const std::pair<Text, Text> escapes[] = {
        {U"\\-", U"-"}, {U"\\(co", U"©"}, {U"\\(aq", U"'"}, {U"\\(em", U"—"}, {U"\\(en", U"–"},
        {U"\\(lq", U"“"}, {U"\\(rq", U"”"}, {U"\\&", U""}, {U"\\/", U""}, {U"\\,", U""}, {U"\\e", U"\\"},
        {U"\\fB", U""}, {U"\\fI", U""}, {U"\\fP", U""}, {U"\\fR", U""}, {U"\\ ", U" "},
    };
    std::vector<std::vector<Text>> pages;
    for (const std::string& path : paths) {
        pages.emplace_back();
        std::vector<Text>& lines = pages.back();
        for (Text line : Lines(FromUtf8(ReadCommand("zcat '" + path + "'")))) {
            if (line.empty() || line[0] == '.' || line[0] == '\'')
                continue;
            for (const auto& escape : escapes) {
                for (size_t at = line.find(escape.first); at != Text::npos; at = line.find(escape.first, at))
                    line.replace(at, escape.first.size(), escape.second);
            }
            // Prose only: not the synopses and option lists, which are
            // made of brackets, Latin names and symbols.
            line = Trimmed(line);
            int cyrillic = 0, latin = 0;
            for (char32_t c : line) {
                cyrillic += IsCyrillic(c);
                latin += (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
            }
            const bool syntax = line.find_first_of(U"[]<>=|{}") != Text::npos;
            if (!syntax && cyrillic >= 3 * latin && cyrillic > 0)
                lines.push_back(line);
        }
    }
    return pages;
}

std::vector<Text> ReadManualPages(const std::string& dir)
{
    std::vector<Text> lines;
    for (const std::vector<Text>& page : ReadManualPageLines(dir))
        lines.insert(lines.end(), page.begin(), page.end());
    return lines;
}

// The lines of a part's pages that no other part's page holds.
std::vector<Text> ReadManualPagesOfPart(const std::string& dir, CorpusPart part)
{
    const std::vector<std::vector<Text>> pages = ReadManualPageLines(dir);
    const auto partOf = [](size_t n) { return n % 3 == 0 ? CountingPart : n % 3 == 1 ? CalibrationPart : HeldOutPart; };
    std::set<Text> elsewhere;
    for (size_t n = 0; n < pages.size(); ++n) {
        if (partOf(n) != part)
            elsewhere.insert(pages[n].begin(), pages[n].end());
    }
    std::vector<Text> lines;
    std::set<Text> seen;
    for (size_t n = 0; n < pages.size(); ++n) {
        for (const Text& line : pages[n]) {
            if (partOf(n) == part && !elsewhere.count(line) && seen.insert(line).second)
                lines.push_back(line);
        }
    }
    return lines;
}

std::vector<std::vector<Text>> FromWordForms(const std::vector<WordForms>& entries)
{
    std::vector<std::vector<Text>> units;
    for (const WordForms& forms : entries) {
        std::vector<Text> unit;
        for (const std::string& form : forms)
            unit.push_back(FromUtf8(form));
        units.push_back(unit);
    }
    return units;
}

// Each line of the expansion: an entry and its forms.
std::vector<std::vector<Text>> ReadAspell(const std::string& language)
{
    const std::string expanded =
        ReadCommand("aspell -d " + language + " dump master 2>/dev/null | aspell -l " + language + " expand 2>/dev/null");
    std::vector<std::vector<Text>> units;
    for (const Text& line : Lines(FromUtf8(expanded))) {
        std::vector<Text> unit;
        size_t start = 0;
        for (size_t end = line.find(U' '); ; start = end + 1, end = line.find(U' ', start)) {
            const Text word = line.substr(start, end == Text::npos ? Text::npos : end - start);
            if (!word.empty())
                unit.push_back(word);
            if (end == Text::npos)
                break;
        }
        if (!unit.empty())
            units.push_back(unit);
    }
    return units;
}

// An entry: "word|n", then n lines "(part of speech)|phrase|phrase...".
std::vector<std::vector<Text>> ReadThesaurus(const std::string& path)
{
    std::vector<std::vector<Text>> units;
    const std::vector<Text> lines = Lines(FromUtf8(ReadFile(path)));
    for (size_t n = 1; n < lines.size(); ++n) {
        const Text& line = lines[n];
        const size_t bar = line.find(U'|');
        if (bar == Text::npos)
            continue;
        if (line[0] != '(' && line[0] != '-') {
            units.push_back({line.substr(0, bar)});
            continue;
        }
        if (units.empty())
            continue;
        size_t start = bar + 1;
        for (size_t end = line.find(U'|', start); ; start = end + 1, end = line.find(U'|', start)) {
            Text phrase = line.substr(start, end == Text::npos ? Text::npos : end - start);
            const size_t open = phrase.find(U'(');
            phrase = Trimmed(phrase.substr(0, open));
            if (!phrase.empty())
                units.back().push_back(phrase);
            if (end == Text::npos)
                break;
        }
    }
    return units;
}

// The headwords: "headword<TAB>offset<TAB>length" lines, but for the
// database's own entries.
std::vector<std::vector<Text>> ReadFreeDictIndex(const std::string& path)
{
    std::vector<std::vector<Text>> units;
    for (const Text& line : Lines(FromUtf8(ReadFile(path)))) {
        const Text word = line.substr(0, line.find(U'\t'));
        if (!word.empty() && word.compare(0, 3, U"00-") != 0 && word.compare(0, 3, U"00d") != 0)
            units.push_back({word});
    }
    return units;
}

template <typename Unit>
std::vector<Unit> PartOf(const std::vector<Unit>& units, CorpusPart part)
{
    std::vector<Unit> chosen;
    std::set<Unit> seen;
    size_t number = 0;
    for (const Unit& unit : units) {
        if (!seen.insert(unit).second)
            continue;
        const size_t tenth = number++ % 10;
        const CorpusPart its = tenth == 0 ? HeldOutPart : tenth == 5 ? CalibrationPart : CountingPart;
        if (its == part)
            chosen.push_back(unit);
    }
    return chosen;
}

struct Random {
    unsigned long long state;
    explicit Random(unsigned seed) : state(seed * 2654435761ULL + 1) {}
    unsigned Next(unsigned bound)
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>((state >> 33) % bound);
    }
};

Text Capitalised(Text word)
{
    if (!word.empty() && word[0] >= 0x430 && word[0] <= 0x44F)
        word[0] -= 0x20;
    else if (!word.empty() && word[0] >= 0x450 && word[0] <= 0x45F)
        word[0] -= 0x50;
    else if (word.size() > 0 && word[0] == 0x491)
        word[0] = 0x490;
    return word;
}

// Words set in sentences: each entry's own form and one other, shuffled,
// in sentences of 3..12 words with commas, the odd dash and quoted word,
// lines of one to four sentences.
std::vector<Text> SetInSentences(const std::vector<std::vector<Text>>& units, size_t budget, unsigned seed)
{
    Random random(seed);
    std::vector<Text> words;
    for (const std::vector<Text>& unit : units) {
        words.push_back(unit[0]);
        if (unit.size() > 1)
            words.push_back(unit[1 + random.Next(static_cast<unsigned>(unit.size() - 1))]);
    }
    for (size_t n = words.size(); n > 1; --n)
        std::swap(words[n - 1], words[random.Next(static_cast<unsigned>(n))]);

    std::vector<Text> lines;
    Text line;
    size_t characters = 0, at = 0;
    while (at < words.size() && characters < budget) {
        const size_t length = 3 + random.Next(10);
        Text sentence;
        for (size_t k = 0; k < length && at < words.size(); ++k, ++at) {
            Text word = k == 0 ? Capitalised(words[at]) : words[at];
            if (random.Next(40) == 0)
                word = U"\"" + word + U"\"";
            sentence += word;
            if (k + 1 == length || at + 1 == words.size()) {
                const unsigned end = random.Next(10);
                sentence += end < 8 ? U"." : end == 8 ? U"!" : U"?";
            } else {
                const unsigned gap = random.Next(50);
                sentence += gap < 5 ? U", " : gap == 5 ? U" - " : gap == 6 ? U": " : U" ";
            }
        }
        line += (line.empty() ? U"" : U" ") + sentence;
        if (random.Next(3) == 0) {
            characters += line.size();
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

} // namespace

LanguageText ReadLanguage(int language, CorpusPart part)
{
    LanguageText text;
    std::vector<std::vector<Text>> words;
    for (const Source& source : Sources) {
        if (source.language != language)
            continue;
        std::vector<Text> prose;
        std::vector<std::vector<Text>> units;
        switch (source.kind) {
        case Fortunes: prose = ReadFortunes(source.path); break;
        case ManualPages: prose = ReadManualPages(source.path); break;
        case ManualPagesByPage: prose = ReadManualPagesOfPart(source.path, part); break;
        case Hunspell:
            units = FromWordForms(ExpandHunspell(std::string(source.path) + ".dic", std::string(source.path) + ".aff"));
            break;
        case Aspell: units = ReadAspell(source.path); break;
        case Thesaurus: units = ReadThesaurus(source.path); break;
        case FreeDictIndex: units = ReadFreeDictIndex(source.path); break;
        }
        if (prose.empty() && units.empty())
            Fail(std::string("nothing read from ") + source.path + ": install the " + source.package + " package");
        for (const Text& unit : source.kind == ManualPagesByPage ? prose : PartOf(prose, part)) {
            text.prose.push_back(unit);
            text.proseCharacters += unit.size();
        }
        for (const std::vector<Text>& unit : PartOf(units, part))
            words.push_back(unit);
    }
    const size_t budget = part == CountingPart ? SentenceBudget : SentenceBudget / 8;
    text.sentences = SetInSentences(words, budget, 17 + static_cast<unsigned>(language) + 100 * part);
    for (const Text& line : text.sentences)
        text.sentenceCharacters += line.size();
    return text;
}

std::string DescribeSources()
{
    std::string description;
    for (const Source& source : Sources) {
        description += std::string(LanguageNames[source.language]) + ": " + source.package + " (" + source.licence +
                       ")\n";
    }
    return description;
}

Text WithTypography(const Text& text, int language)
{
    const bool guillemets = language == LanguageRussian || language == LanguageUkrainian || language == LanguageBelarusian;
    const char32_t open = guillemets ? 0xAB : 0x201E;
    const char32_t close = guillemets ? 0xBB : language == LanguageSerbian ? 0x201D : 0x201C;
    Text typeset;
    for (size_t at = 0; at < text.size(); ++at) {
        const char32_t c = text[at];
        const char32_t before = at == 0 ? U' ' : text[at - 1];
        if (c == '"') {
            const bool opening = IsWhite(before) || before == '(' || before == '[' || before == '-' || at == 0;
            typeset.push_back(opening ? open : close);
        } else if (c == '-' && IsWhite(before) && at + 1 < text.size() && IsWhite(text[at + 1])) {
            typeset.push_back(0x2014);
        } else {
            typeset.push_back(c);
        }
    }
    return typeset;
}

std::vector<Text> CutPieces(const std::vector<Text>& texts, size_t shortest, size_t longest, unsigned seed)
{
    Text whole;
    for (const Text& text : texts)
        whole += text + U"\n";

    std::vector<Text> pieces;
    Random random(seed);
    size_t start = 0;
    const int letters = shortest < 16 ? 3 : 8;
    for (;;) {
        while (start < whole.size() && IsWhite(whole[start]))
            ++start;
        const size_t length = shortest + random.Next(static_cast<unsigned>(longest - shortest + 1));
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
        int cyrillic = 0, latin = 0;
        for (char32_t c : piece) {
            cyrillic += IsCyrillic(c);
            latin += (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        }
        if (piece.size() >= shortest && piece.size() <= longest && cyrillic >= letters && cyrillic > latin)
            pieces.push_back(piece);
        start = end;
    }
    return pieces;
}

bool Encode(const Text& text, int page, Bytes& bytes)
{
    std::string wide;
    for (char32_t c : text) {
        for (int k = 0; k < 4; ++k)
            wide.push_back(static_cast<char>((c >> (8 * k)) & 0xFF));
    }
    iconv_t cd = iconv_open(IconvNames[page], "UTF-32LE");
    if (cd == reinterpret_cast<iconv_t>(-1))
        Fail(std::string("iconv knows no ") + IconvNames[page]);
    std::string encoded;
    const bool held = Convert(cd, wide, 4, false, encoded);
    iconv_close(cd);
    bytes.assign(encoded.begin(), encoded.end());
    return held;
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
