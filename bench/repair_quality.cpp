// repair_quality [--part held-out|calibration] [--pieces N] [--failures N] [--short] [--sources | --system]
//
// How well RepairText (engine/text_repair.h) repairs garbled Cyrillic text
// and how well it leaves clean text alone. Text of every language from the
// code page detector's corpus (tools/detection/cyrillic_corpus.h) is cut
// into strings of 20..120 characters (5..19 with --short), half from prose and half from words
// set in sentences where a language has both, every other one with its
// language's typography, and garbled by every one-step chain and by a set
// of two-step chains the way programs garble it (the C library's iconv
// writes it in one encoding, and the bytes are read as another, a byte the
// reading page leaves undefined passing as the C1 control of its number);
// each garbled string must come back exactly, and each clean string must
// stay exactly as it is. Prints the share repaired per chain and language,
// and the clean strings changed. --failures N prints N strings the repair
// got wrong per table.
//
// The report is on the held-out part, which neither the statistics nor the
// repair's thresholds have seen; the thresholds are set on the calibration
// part (--part calibration). --sources instead repairs every line of every
// source file as it is, every part and the dictionaries' flags included,
// and counts the lines changed: all of them are clean. --system does the
// same for every line of this machine's translation catalogues (each
// string of each, in every language) and manual pages (their source, in
// every language).
#include <iconv.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cyrillic_corpus.h"
#include "text_repair.h"
#include "unicode_units.h"

namespace {

// --- Text in and out of UTF-8 ---

Text FromUtf8(const std::string& bytes)
{
    Text text;
    for (size_t at = 0; at < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[at]);
        int more = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = more == 0 ? lead : more == 1 ? lead & 0x1F : more == 2 ? lead & 0x0F : lead & 0x07;
        ++at;
        for (; more > 0 && at < bytes.size(); --more, ++at)
            c = c << 6 | (static_cast<unsigned char>(bytes[at]) & 0x3F);
        text += c;
    }
    return text;
}

std::string Printable(const Text& text)
{
    std::string out;
    for (char32_t c : text) {
        if (c >= 0x10000) {
            char escape[16];
            std::snprintf(escape, sizeof escape, "<U+%X>", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += ToUtf8(Text(1, c));
        }
    }
    return out;
}

std::string ReadCommand(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, got);
        pclose(pipe);
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// --- The strings ---

// A string on one line: the repair takes each line on its own, and a line
// of a word or two is too short to repair.
Text Squeezed(const Text& text)
{
    Text out;
    for (char32_t c : text) {
        if (c == '\n' || c == '\t' || c == '\r')
            c = ' ';
        if (c != ' ' || (!out.empty() && out.back() != ' '))
            out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// Pieces of 20..120 characters of a language's part: from its prose and its
// sentences in turn while both last.
// The length of the strings: 20..120 characters, or with --short 5..19.
size_t ShortestPiece = 20, LongestPiece = 120;

std::vector<Text> LanguagePieces(const LanguageText& text, int language, size_t most)
{
    const unsigned seed = 31 + static_cast<unsigned>(language);
    const std::vector<Text> prose = CutPieces(text.prose, ShortestPiece, LongestPiece, seed);
    const std::vector<Text> sentences = CutPieces(text.sentences, ShortestPiece, LongestPiece, seed + 100);
    std::vector<Text> pieces;
    for (size_t at = 0; pieces.size() < most && (at < prose.size() || at < sentences.size()); ++at) {
        if (at < prose.size())
            pieces.push_back(prose[at]);
        if (at < sentences.size() && pieces.size() < most)
            pieces.push_back(sentences[at]);
    }
    for (size_t at = 0; at < pieces.size(); ++at)
        pieces[at] = at % 2 == 0 ? WithTypography(Squeezed(pieces[at]), language) : Squeezed(pieces[at]);
    return pieces;
}

// English, from the licence texts of every Debian system: the lines of the
// part by the same tenths, joined and cut at spaces into 20..120 characters.
std::vector<Text> EnglishPieces(CorpusPart part, size_t most)
{
    Text all;
    size_t number = 0;
    for (const std::string& line : Lines(ReadCommand("cat /usr/share/common-licenses/*"))) {
        if (line.empty())
            continue;
        const size_t tenth = number++ % 10;
        if ((tenth == 0) == (part == HeldOutPart) && (tenth == 5) == (part == CalibrationPart))
            all += FromUtf8(line) + U" ";
    }
    std::vector<Text> pieces;
    size_t at = 0, length = 20;
    while (at < all.size() && pieces.size() < most) {
        size_t end = std::min(all.size(), at + length);
        while (end < all.size() && all[end] != ' ')
            ++end;
        Text piece = all.substr(at, end - at);
        while (!piece.empty() && piece.back() == ' ')
            piece.pop_back();
        if (piece.size() >= 20)
            pieces.push_back(piece);
        at = end + 1;
        length = 20 + (length * 37) % 101;
    }
    return pieces;
}

// --- Garbling, the way programs do it ---

const char* const RepairIconvNames[RepairEncodingCount] = {
    "UTF-8", "CP1251", "KOI8-R", "CP1252", "CP866", "ISO-8859-1", "ISO-8859-5", "MAC-CYRILLIC", "KOI8-U", "CP437", "CP850",
};

// The text in an encoding; false when it cannot hold every character.
bool Encode(const Text& text, int encoding, std::string& bytes)
{
    iconv_t cd = iconv_open(RepairIconvNames[encoding], "UTF-8");
    std::string in = ToUtf8(text);
    bytes.assign(in.size() * 4 + 16, '\0');
    char* inPtr = &in[0];
    size_t inLeft = in.size();
    char* outPtr = &bytes[0];
    size_t outLeft = bytes.size();
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1))
        return false;
    bytes.resize(bytes.size() - outLeft);
    return true;
}

std::array<char32_t, 256> Reading(int encoding)
{
    std::array<char32_t, 256> table;
    for (int byte = 0; byte < 256; ++byte) {
        table[byte] = static_cast<char32_t>(byte);
        if (byte < 0x80)
            continue;
        iconv_t cd = iconv_open("UTF-32LE", RepairIconvNames[encoding]);
        char in = static_cast<char>(byte);
        char* inPtr = &in;
        size_t inLeft = 1;
        char32_t out = 0;
        char* outPtr = reinterpret_cast<char*>(&out);
        size_t outLeft = 4;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) && outLeft == 0)
            table[byte] = out;
        iconv_close(cd);
    }
    return table;
}

struct Chain {
    int steps;
    RepairStep step[2];
};

bool Garble(const Text& text, const Chain& chain, Text& garbled)
{
    static std::array<char32_t, 256> readings[RepairEncodingCount];
    static bool made = false;
    if (!made) {
        for (int encoding = 1; encoding < RepairEncodingCount; ++encoding)
            readings[encoding] = Reading(encoding);
        made = true;
    }
    garbled = text;
    for (int i = 0; i < chain.steps; ++i) {
        std::string bytes;
        if (!Encode(garbled, chain.step[i].written, bytes))
            return false;
        garbled.clear();
        for (unsigned char byte : bytes)
            garbled += readings[chain.step[i].read][byte];
    }
    return garbled != text;
}

std::string ChainName(const Chain& chain)
{
    std::string name;
    for (int i = 0; i < chain.steps; ++i) {
        name += i ? ", then " : "";
        name += std::string(RepairEncodingName(chain.step[i].written)) + " read as " + RepairEncodingName(chain.step[i].read);
    }
    return name;
}

// --- Repairing ---

RepairWorkspace Workspace;
double RepairSeconds = 0;
size_t RepairedCharacters = 0;

Text Repair(const Text& text)
{
    std::u16string units;
    for (char32_t c : text)
        EachUtf16Unit(c, [&units](char32_t unit) { units += static_cast<char16_t>(unit); });
    std::u16string out(units.size(), 0);
    unsigned length = 0;
    const auto start = std::chrono::steady_clock::now();
    RepairText(units.data(), static_cast<unsigned>(units.size()), &out[0], &length, Workspace);
    RepairSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RepairedCharacters += units.size();
    Text back;
    for (unsigned at = 0; at < length; ++at) {
        char32_t c = out[at];
        if (IsHighSurrogate(c) && at + 1 < length) {
            c = CombinedSurrogates(c, out[at + 1]);
            ++at;
        }
        back += c;
    }
    return back;
}

struct Tally {
    size_t total = 0, right = 0;
};

std::string Percent(const Tally& tally)
{
    if (tally.total == 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 100.0 * tally.right / tally.total);
    return text;
}

struct Language {
    const char* name;
    std::vector<Text> pieces;
};

// --- Every line of the sources, as it is ---

struct SourceFile {
    const char* name;
    std::string command;  // prints the file's lines
};

int RepairSources(int failuresToShow)
{
    std::vector<SourceFile> files;
    for (const char* dir : {"/usr/share/games/fortunes/ru", "/usr/share/games/fortunes/bg"})
        files.push_back({dir, std::string("cat ") + dir + "/*.u8"});
    for (const char* language : {"ru_RU", "uk_UA", "bg_BG"})
        files.push_back({language, std::string("cat /usr/share/mythes/th_") + language + "_v2.dat"});
    for (const char* language : {"ru_RU", "uk_UA", "be_BY", "bg_BG", "sr_RS"})
        files.push_back({language, std::string("cat /usr/share/hunspell/") + language + ".dic"});
    files.push_back({"aspell uk", "aspell -d uk dump master 2>/dev/null | aspell -l uk expand 2>/dev/null"});
    files.push_back({"manpages-mk", "zcat /usr/share/man/mk/man*/*.gz"});
    files.push_back({"freedict-mkd-bul", "cut -f1 /usr/share/dictd/freedict-mkd-bul.index"});
    files.push_back({"common-licenses", "cat /usr/share/common-licenses/*"});
    size_t lines = 0, changed = 0;
    for (const SourceFile& file : files) {
        size_t fileLines = 0, fileChanged = 0;
        int shown = 0;
        for (const std::string& line : Lines(ReadCommand(file.command))) {
            const Text text = FromUtf8(line);
            const Text back = Repair(text);
            ++fileLines;
            if (back != text) {
                ++fileChanged;
                if (shown++ < failuresToShow)
                    std::fprintf(stderr, "CHANGED %s: %s\n    -> %s\n", file.name, Printable(text).c_str(), Printable(back).c_str());
            }
        }
        std::printf("%-44s %zu of %zu lines changed\n", file.command.c_str(), fileChanged, fileLines);
        lines += fileLines;
        changed += fileChanged;
    }
    std::printf("Clean lines changed: %zu of %zu\n", changed, lines);
    std::printf("Repair time: %.2f s for %zu characters (%.1f ns a character)\n", RepairSeconds, RepairedCharacters,
                1e9 * RepairSeconds / static_cast<double>(RepairedCharacters));
    return 0;
}

// Every line of every catalogue's strings and of every manual page's source,
// by language.
int RepairSystem(int failuresToShow)
{
    std::map<std::string, std::pair<size_t, size_t>> byGroup;  // lines, changed
    int shown = 0;
    const auto repairLines = [&](const std::string& group, const std::string& text) {
        for (const std::string& line : Lines(text)) {
            const Text clean = FromUtf8(line);
            // A line in a legacy encoding is no UTF-8 text: left out.
            if (ToUtf8(clean) != line)
                continue;
            const Text back = Repair(clean);
            auto& counts = byGroup[group];
            ++counts.first;
            if (back != clean) {
                ++counts.second;
                if (shown++ < failuresToShow)
                    std::fprintf(stderr, "CHANGED %s: %s\n    -> %s\n", group.c_str(), Printable(clean).c_str(),
                                 Printable(back).c_str());
            }
        }
    };
    for (const std::string& path : Lines(ReadCommand("ls /usr/share/locale/*/LC_MESSAGES/*.mo 2>/dev/null"))) {
        const std::string language = path.substr(18, path.find('/', 18) - 18);
        // The strings of the catalogue, both sides, each escape undone.
        std::string strings;
        for (const std::string& line : Lines(ReadCommand("msgunfmt '" + path + "' 2>/dev/null | msgconv -t UTF-8 2>/dev/null"))) {
            const size_t quote = line.find('"');
            if (quote == std::string::npos || line.compare(0, 1, "#") == 0)
                continue;
            if (line[0] != '"')
                strings += '\n';
            for (size_t at = quote + 1; at + 1 < line.size(); ++at) {
                if (line[at] == '\\' && at + 2 < line.size()) {
                    const char next = line[++at];
                    strings += next == 'n' ? '\n' : next == 't' ? '\t' : next;
                } else {
                    strings += line[at];
                }
            }
        }
        repairLines("catalogues " + language, strings);
    }
    for (const std::string& path : Lines(ReadCommand("find /usr/share/man -name '*.gz' | sort"))) {
        const size_t slash = path.find('/', 15);
        const std::string section = path.substr(15, slash - 15);
        const std::string language = section.compare(0, 3, "man") == 0 ? "en" : section;
        repairLines("man " + language, ReadCommand("zcat '" + path + "' 2>/dev/null"));
    }
    size_t lines = 0, changed = 0;
    for (const auto& group : byGroup) {
        if (group.second.second > 0)
            std::printf("%-28s %zu of %zu lines changed\n", group.first.c_str(), group.second.second, group.second.first);
        lines += group.second.first;
        changed += group.second.second;
    }
    std::printf("Clean lines changed: %zu of %zu (%zu catalogues and manual page groups)\n", changed, lines, byGroup.size());
    std::printf("Repair time: %.2f s for %zu characters (%.1f ns a character)\n", RepairSeconds, RepairedCharacters,
                1e9 * RepairSeconds / static_cast<double>(RepairedCharacters));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int failuresToShow = 0;
    size_t most = 300;
    CorpusPart part = HeldOutPart;
    bool sources = false, system = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (option == "--sources") {
            sources = true;
        } else if (option == "--system") {
            system = true;
        } else if (option == "--short") {
            ShortestPiece = 5, LongestPiece = 19;
        } else if (option == "--failures") {
            failuresToShow = std::atoi(value), ++i;
        } else if (option == "--pieces") {
            most = static_cast<size_t>(std::atoi(value)), ++i;
        } else if (option == "--part" && (std::strcmp(value, "held-out") == 0 || std::strcmp(value, "calibration") == 0)) {
            part = std::strcmp(value, "held-out") == 0 ? HeldOutPart : CalibrationPart, ++i;
        } else {
            std::fprintf(stderr, "usage: repair_quality [--part held-out|calibration] [--pieces N] [--failures N] [--short] [--sources | --system]\n");
            return 2;
        }
    }
    if (sources)
        return RepairSources(failuresToShow);
    if (system)
        return RepairSystem(failuresToShow);

    static const char* const Codes[LanguageCount] = {"ru", "uk", "be", "bg", "sr", "mk"};
    std::vector<Language> languages;
    for (int language = 0; language < LanguageCount; ++language)
        languages.push_back({Codes[language], LanguagePieces(ReadLanguage(language, part), language, most)});
    // Clean only: English, Russian strings with English between them, and
    // every language in capitals.
    std::vector<Language> cleanOnly;
    cleanOnly.push_back({"en", EnglishPieces(part, most)});
    {
        std::vector<Text> mixed;
        const std::vector<Text>& russian = languages[0].pieces;
        const std::vector<Text>& english = cleanOnly[0].pieces;
        for (size_t at = 0; at < russian.size() && at < english.size(); ++at)
            mixed.push_back(russian[at].substr(0, russian[at].size() / 2) + U" " +
                            english[at].substr(0, english[at].find(' ', 20)) + U" " +
                            russian[at].substr(russian[at].size() / 2));
        cleanOnly.push_back({"ru+en", mixed});
        // Every language in capitals, as headings and notices have it.
        std::vector<Text> capitals;
        for (const Language& language : languages) {
            for (size_t at = 0; at < language.pieces.size(); at += 6) {
                Text piece = language.pieces[at];
                for (char32_t& c : piece)
                    c = c >= 0x430 && c < 0x450 ? c - 0x20 : c >= 0x450 && c < 0x460 ? c - 0x50 : c == 0x491 ? 0x490 : c;
                capitals.push_back(piece);
            }
        }
        cleanOnly.push_back({"CAPS", capitals});
    }

    std::vector<Chain> oneStep;
    for (int written = 0; written < RepairEncodingCount; ++written)
        for (int read = 1; read < RepairEncodingCount; ++read)
            if (written != read)
                oneStep.push_back({1, {{written, read}, {0, 0}}});
    const Chain twoSteps[] = {
        {2, {{RepairUtf8, RepairCp1251}, {RepairUtf8, RepairCp1251}}},
        {2, {{RepairUtf8, RepairCp1251}, {RepairUtf8, RepairCp1252}}},
        {2, {{RepairUtf8, RepairCp1252}, {RepairUtf8, RepairCp1252}}},
        {2, {{RepairUtf8, RepairKoi8r}, {RepairUtf8, RepairCp1251}}},
        {2, {{RepairUtf8, RepairCp866}, {RepairUtf8, RepairCp1251}}},
        {2, {{RepairCp1251, RepairCp1252}, {RepairUtf8, RepairCp1252}}},
        {2, {{RepairCp1251, RepairKoi8r}, {RepairUtf8, RepairCp1251}}},
        {2, {{RepairKoi8r, RepairCp1251}, {RepairUtf8, RepairCp1252}}},
        {2, {{RepairCp866, RepairCp1251}, {RepairUtf8, RepairCp1251}}},
        {2, {{RepairKoi8r, RepairCp1251}, {RepairKoi8r, RepairCp1251}}},
        {2, {{RepairCp1251, RepairKoi8r}, {RepairCp1251, RepairKoi8r}}},
        {2, {{RepairKoi8r, RepairCp1251}, {RepairCp866, RepairCp1251}}},
    };

    std::printf("Strings of %zu..%zu characters per language:", ShortestPiece, LongestPiece);
    for (const Language& language : languages)
        std::printf(" %s %zu", language.name, language.pieces.size());
    for (const Language& language : cleanOnly)
        std::printf(", %s %zu", language.name, language.pieces.size());
    std::printf("\n\n");

    // One word of a clean string garbled: the word comes back, and its
    // clean neighbours stay as they are.
    {
        const Chain wordChains[] = {
            {1, {{RepairUtf8, RepairCp1251}, {0, 0}}}, {1, {{RepairCp1251, RepairCp1252}, {0, 0}}},
            {1, {{RepairKoi8r, RepairCp1251}, {0, 0}}}, {1, {{RepairCp1251, RepairKoi8r}, {0, 0}}},
            {1, {{RepairCp866, RepairCp1251}, {0, 0}}}, {1, {{RepairUtf8, RepairKoi8r}, {0, 0}}},
        };
        size_t lines = 0, exact = 0, neighbours = 0;
        int shown = 0;
        for (const Language& language : languages) {
            for (size_t n = 0; n < language.pieces.size(); ++n) {
                const Text& piece = language.pieces[n];
                // The longest word, garbled by one chain after another.
                size_t best = 0, bestLength = 0;
                for (size_t at = 0; at < piece.size();) {
                    size_t end = at;
                    while (end < piece.size() && piece[end] >= 0x400 && piece[end] < 0x530)
                        ++end;
                    if (end - at > bestLength)
                        best = at, bestLength = end - at;
                    at = end + 1;
                }
                if (bestLength < 4)
                    continue;
                const Chain& chain = wordChains[n % (sizeof wordChains / sizeof wordChains[0])];
                Text garbledWord;
                if (!Garble(piece.substr(best, bestLength), chain, garbledWord))
                    continue;
                const Text line = piece.substr(0, best) + garbledWord + piece.substr(best + bestLength);
                const Text back = Repair(line);
                ++lines;
                exact += back == piece;
                // The text around the word as it was, wherever the word ended.
                const Text after = piece.substr(best + bestLength);
                const bool kept = back.compare(0, best, piece, 0, best) == 0 && back.size() >= after.size() &&
                                  back.compare(back.size() - after.size(), after.size(), after) == 0;
                neighbours += !kept;
                if (!kept && shown++ < failuresToShow)
                    std::fprintf(stderr, "NEIGHBOUR %s: %s\n    -> %s\n", ChainName(chain).c_str(), Printable(line).c_str(),
                                 Printable(back).c_str());
            }
        }
        std::printf("One word garbled in a clean string: %zu of %zu repaired exactly, clean neighbours changed in %zu\n\n",
                    exact, lines, neighbours);
    }

    // Clean strings must stay as they are.
    Tally cleanTotal;
    std::printf("%-44s", "Clean strings changed");
    for (const std::vector<Language>* set : {&languages, &cleanOnly}) {
        for (const Language& language : *set) {
            size_t changed = 0;
            int shown = 0;
            for (const Text& piece : language.pieces) {
                const Text back = Repair(piece);
                if (back != piece) {
                    ++changed;
                    if (shown++ < failuresToShow)
                        std::fprintf(stderr, "CHANGED %s: %s\n    -> %s\n", language.name, Printable(piece).c_str(), Printable(back).c_str());
                }
            }
            cleanTotal.total += language.pieces.size();
            cleanTotal.right += changed;
            std::printf(" %s %zu/%zu", language.name, changed, language.pieces.size());
        }
    }
    std::printf("\n\n");

    // euro: Macintosh Cyrillic's 0xFF read as the euro sign, as Mac OS reads
    // it since 8.5, rather than as iconv's currency sign.
    auto measure = [&](const Chain& chain, Tally& sum, std::map<std::string, Tally>& perLanguage, bool euro = false) {
        // Not a row for a chain whose first encoding holds none of the text.
        Text garbled;
        if (std::none_of(languages.begin(), languages.end(), [&](const Language& language) {
                return std::any_of(language.pieces.begin(), language.pieces.end(),
                                   [&](const Text& piece) { return Garble(piece, chain, garbled); });
            }))
            return;
        std::printf("%-44s", (ChainName(chain) + (euro ? " (€)" : "")).c_str());
        int shown = 0;
        for (const Language& language : languages) {
            Tally tally;
            for (const Text& piece : language.pieces) {
                if (!Garble(piece, chain, garbled))
                    continue;
                if (euro)
                    std::replace(garbled.begin(), garbled.end(), char32_t(0xA4), char32_t(0x20AC));
                ++tally.total;
                const Text back = Repair(garbled);
                if (back == piece) {
                    ++tally.right;
                } else if (shown++ < failuresToShow) {
                    std::fprintf(stderr, "MISSED %s %s: %s\n    -> %s\n    want %s\n", ChainName(chain).c_str(), language.name,
                                 Printable(garbled).c_str(), Printable(back).c_str(), Printable(piece).c_str());
                }
            }
            sum.total += tally.total;
            sum.right += tally.right;
            perLanguage[language.name].total += tally.total;
            perLanguage[language.name].right += tally.right;
            std::printf(" %6s", Percent(tally).c_str());
        }
        std::printf("\n");
    };

    std::map<std::string, Tally> oneStepLanguages, twoStepLanguages;
    Tally oneStepSum, twoStepSum;
    std::printf("%-44s", "Repaired exactly, % (one step)");
    for (const Language& language : languages)
        std::printf(" %6s", language.name);
    std::printf("\n");
    for (const Chain& chain : oneStep)
        measure(chain, oneStepSum, oneStepLanguages);
    for (const Chain& chain : oneStep) {
        if (chain.step[0].read == RepairMac && chain.step[0].written == RepairCp1251)
            measure(chain, oneStepSum, oneStepLanguages, true);
    }
    std::printf("\n%-44s", "Repaired exactly, % (two steps)");
    for (const Language& language : languages)
        std::printf(" %6s", language.name);
    std::printf("\n");
    for (const Chain& chain : twoSteps)
        measure(chain, twoStepSum, twoStepLanguages);

    std::printf("\n%-44s", "All one-step strings");
    for (const Language& language : languages)
        std::printf(" %6s", Percent(oneStepLanguages[language.name]).c_str());
    std::printf("  %s%% of %zu\n%-44s", Percent(oneStepSum).c_str(), oneStepSum.total, "All two-step strings");
    for (const Language& language : languages)
        std::printf(" %6s", Percent(twoStepLanguages[language.name]).c_str());
    std::printf("  %s%% of %zu\n", Percent(twoStepSum).c_str(), twoStepSum.total);
    std::printf("Clean strings changed: %zu of %zu\n", cleanTotal.right, cleanTotal.total);
    std::printf("Repair time: %.2f s for %zu characters (%.1f ns a character)\n", RepairSeconds, RepairedCharacters,
                1e9 * RepairSeconds / static_cast<double>(RepairedCharacters));
    return 0;
}
