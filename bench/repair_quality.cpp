// repair_quality [--failures N] [--pieces N]
//
// How well RepairText (engine/text_repair.h) repairs garbled Cyrillic text
// and how well it leaves clean text alone. Held-out text of every language
// (every tenth unit of each source, the part the code page detector's
// statistics never see), cut into strings of 20..120 characters, is
// garbled by every one-step chain and by a set of two-step chains the way
// programs garble it (the C library's iconv writes it in one encoding, and
// the bytes are read as another, a byte the reading page leaves undefined
// passing as the C1 control of its number); each garbled string must come
// back exactly, and each clean string must stay exactly as it is.
// Prints the share repaired per chain and language, and the clean strings
// changed. --failures N prints N strings the repair got wrong per table.
//
// The sources are Debian packages (tools/detection/install_corpus.sh):
// fortunes-ru, fortunes-bg, mythes-uk, hunspell-be, hunspell-sr,
// manpages-mk, dict-freedict-mkd-bul, and for English the licence texts
// every Debian system has.
#include <dirent.h>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "text_repair.h"

namespace {

using Text = std::u32string;

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

std::string ToUtf8(const Text& text)
{
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool IsCyrillicLetter(char32_t c)
{
    return (c >= 0x400 && c < 0x460) || c == 0x490 || c == 0x491;
}

bool IsLatinLetter(char32_t c)
{
    return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || (c >= 0xC0 && c < 0x250 && c != 0xD7 && c != 0xF7);
}

// --- The sources ---

std::vector<std::string> FilesIn(const std::string& dir, const std::string& suffix)
{
    std::vector<std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                files.push_back(dir + "/" + name);
        }
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    return files;
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

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

Text Squeezed(const Text& text)
{
    Text out;
    for (char32_t c : text) {
        if (c == '\n' || c == '\t' || c == '\r')
            c = ' ';
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// Fortunes, between lines of "%".
std::vector<Text> Fortunes(const std::string& dir)
{
    std::vector<Text> units;
    for (const std::string& file : FilesIn(dir, ".u8")) {
        std::string unit;
        for (const std::string& line : Lines(ReadFile(file))) {
            if (line == "%") {
                units.push_back(Squeezed(FromUtf8(unit)));
                unit.clear();
            } else {
                unit += line + "\n";
            }
        }
        units.push_back(Squeezed(FromUtf8(unit)));
    }
    return units;
}

// A thesaurus entry as a sentence: "word: synonym, synonym."
std::vector<Text> Thesaurus(const std::string& path)
{
    std::vector<Text> units;
    const std::vector<std::string> lines = Lines(ReadFile(path));
    for (size_t at = 1; at < lines.size();) {
        const size_t bar = lines[at].find('|');
        const int meanings = bar == std::string::npos ? 0 : std::atoi(lines[at].c_str() + bar + 1);
        std::string unit = lines[at].substr(0, bar) + ":";
        ++at;
        for (int m = 0; m < meanings && at < lines.size(); ++m, ++at) {
            std::string words = lines[at].substr(lines[at].find('|') + 1);
            std::replace(words.begin(), words.end(), '|', ',');
            unit += (m ? "; " : " ") + words;
        }
        units.push_back(Squeezed(FromUtf8(unit + ".")));
    }
    return units;
}

// Dictionary words, without their affix flags.
std::vector<Text> DictionaryWords(const std::string& path)
{
    std::vector<Text> units;
    for (const std::string& line : Lines(ReadFile(path))) {
        const Text word = FromUtf8(line.substr(0, line.find_first_of("/\t ")));
        if (!word.empty() && std::all_of(word.begin(), word.end(), [](char32_t c) { return IsCyrillicLetter(c) || c == '\'' || c == '-'; }))
            units.push_back(word);
    }
    return units;
}

// Headwords of a dictd dictionary: the lines with a pronunciation.
std::vector<Text> Headwords(const std::string& path)
{
    std::vector<Text> units;
    for (const std::string& line : Lines(ReadCommand("zcat " + path))) {
        const size_t slash = line.find(" /");
        if (slash != std::string::npos && line[0] != ' ')
            units.push_back(FromUtf8(line.substr(0, slash)));
    }
    return units;
}

// The running text of manual pages, without their markup.
std::vector<Text> ManualLines(const std::string& dir)
{
    std::vector<Text> units;
    for (const std::string& line : Lines(ReadCommand("zcat " + dir + "/man*/*.gz 2>/dev/null"))) {
        if (line.empty() || line[0] == '.' || line[0] == '\'')
            continue;
        std::string plain;
        for (size_t at = 0; at < line.size(); ++at) {
            if (line[at] == '\\' && at + 1 < line.size()) {
                const char kind = line[at + 1];
                at += kind == 'f' ? 2 : kind == '(' ? 3 : 1;
                if (kind == '-')
                    plain += '-';
                continue;
            }
            plain += line[at];
        }
        units.push_back(Squeezed(FromUtf8(plain)));
    }
    return units;
}

// Words set in sentences of six to ten, the first with a capital.
std::vector<Text> Sentences(const std::vector<Text>& words, unsigned seed)
{
    std::vector<Text> sentences;
    std::mt19937 random(seed);
    for (size_t at = 0; at < words.size();) {
        const size_t count = 6 + random() % 5;
        Text sentence;
        for (size_t k = 0; k < count && at < words.size(); ++k, ++at)
            sentence += (k ? U" " : U"") + words[at];
        if (!sentence.empty() && sentence[0] >= 0x430 && sentence[0] < 0x450)
            sentence[0] -= 0x20;
        sentences.push_back(sentence + U".");
    }
    return sentences;
}

// Every tenth distinct unit: the part that trains nothing.
std::vector<Text> HeldOut(const std::vector<Text>& units)
{
    std::vector<Text> held;
    std::set<Text> seen;
    size_t number = 0;
    for (const Text& unit : units) {
        if (unit.empty() || !seen.insert(unit).second)
            continue;
        if (number++ % 10 == 0)
            held.push_back(unit);
    }
    return held;
}

// « » for pairs of ASCII double quotes, and a dash for a spaced hyphen.
Text WithTypography(const Text& text)
{
    Text out;
    bool open = true;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '"') {
            out += open ? U'«' : U'»';
            open = !open;
        } else if (text[at] == '-' && at > 0 && at + 1 < text.size() && text[at - 1] == ' ' && text[at + 1] == ' ') {
            out += U'—';
        } else {
            out += text[at];
        }
    }
    return out;
}

// Cuts the joined units into pieces of 20..120 characters at spaces; keeps
// those with more Cyrillic letters than Latin ones (any, for English).
std::vector<Text> CutPieces(const std::vector<Text>& units, bool cyrillic, size_t most, unsigned seed)
{
    Text all;
    for (const Text& unit : units)
        all += unit + U" ";
    std::vector<Text> pieces;
    std::mt19937 random(seed);
    size_t at = 0;
    while (at < all.size() && pieces.size() < most) {
        const size_t length = 20 + random() % 101;
        size_t end = std::min(all.size(), at + length);
        while (end < all.size() && all[end] != ' ')
            ++end;
        Text piece = Squeezed(all.substr(at, end - at));
        at = end + 1;
        size_t cyr = 0, lat = 0;
        for (char32_t c : piece) {
            cyr += IsCyrillicLetter(c);
            lat += IsLatinLetter(c);
        }
        if (piece.size() >= 20 && (cyrillic ? cyr > lat && cyr >= 8 : lat > 0))
            pieces.push_back(piece);
    }
    return pieces;
}

// --- Garbling, the way programs do it ---

const char* const IconvNames[RepairEncodingCount] = {
    "UTF-8", "CP1251", "KOI8-R", "CP1252", "CP866", "ISO-8859-1", "ISO-8859-5", "MAC-CYRILLIC", "KOI8-U", "CP437", "CP850",
};

// The text in an encoding; false when it cannot hold every character.
bool Encode(const Text& text, int encoding, std::string& bytes)
{
    iconv_t cd = iconv_open(IconvNames[encoding], "UTF-8");
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
        iconv_t cd = iconv_open("UTF-32LE", IconvNames[encoding]);
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

Text Repair(const Text& text, TextRepair* result = nullptr)
{
    std::u16string units;
    for (char32_t c : text) {
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    std::u16string out(units.size(), 0);
    unsigned length = 0;
    const auto start = std::chrono::steady_clock::now();
    const TextRepair repair = RepairText(units.data(), static_cast<unsigned>(units.size()), &out[0], &length, Workspace);
    RepairSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RepairedCharacters += units.size();
    if (result)
        *result = repair;
    Text back;
    for (unsigned at = 0; at < length; ++at) {
        char32_t c = out[at];
        if (c >= 0xD800 && c < 0xDC00 && at + 1 < length) {
            c = 0x10000 + ((c - 0xD800) << 10) + (out[at + 1] - 0xDC00);
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

} // namespace

int main(int argc, char** argv)
{
    int failuresToShow = 0;
    size_t most = 300;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--failures") == 0)
            failuresToShow = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--pieces") == 0)
            most = static_cast<size_t>(std::atoi(argv[i + 1]));
    }

    std::vector<Language> languages;
    const std::string fortunes = "/usr/share/games/fortunes/";
    languages.push_back({"ru", CutPieces(HeldOut(Fortunes(fortunes + "ru")), true, most, 1)});
    languages.push_back({"uk", CutPieces(HeldOut(Thesaurus("/usr/share/mythes/th_uk_UA_v2.dat")), true, most, 2)});
    languages.push_back({"be", CutPieces(Sentences(HeldOut(DictionaryWords("/usr/share/hunspell/be_BY.dic")), 3), true, most, 3)});
    languages.push_back({"bg", CutPieces(HeldOut(Fortunes(fortunes + "bg")), true, most, 4)});
    languages.push_back({"sr", CutPieces(Sentences(HeldOut(DictionaryWords("/usr/share/hunspell/sr_RS.dic")), 5), true, most, 5)});
    {
        std::vector<Text> units = HeldOut(ManualLines("/usr/share/man/mk"));
        for (const Text& sentence : Sentences(HeldOut(Headwords("/usr/share/dictd/freedict-mkd-bul.dict.dz")), 6))
            units.push_back(sentence);
        languages.push_back({"mk", CutPieces(units, true, most, 6)});
    }
    for (Language& language : languages) {
        // Half the strings with the typography of word processors.
        for (size_t at = 0; at < language.pieces.size(); at += 2)
            language.pieces[at] = WithTypography(language.pieces[at]);
        if (language.pieces.empty()) {
            std::fprintf(stderr, "repair_quality: no text for %s: run tools/detection/install_corpus.sh\n", language.name);
            return 2;
        }
    }
    // Clean only: English, and Russian strings with English between them.
    std::vector<Language> cleanOnly;
    {
        std::vector<Text> units;
        for (const std::string& line : Lines(ReadFile("/usr/share/common-licenses/GPL-3")))
            units.push_back(Squeezed(FromUtf8(line)));
        cleanOnly.push_back({"en", CutPieces(HeldOut(units), false, most, 7)});
        std::vector<Text> mixed;
        const std::vector<Text>& russian = languages[0].pieces;
        const std::vector<Text>& english = cleanOnly[0].pieces;
        for (size_t at = 0; at < russian.size() && at < english.size(); ++at)
            mixed.push_back(russian[at].substr(0, russian[at].size() / 2) + U" " +
                            english[at].substr(0, english[at].find(' ', 20)) + U" " +
                            russian[at].substr(russian[at].size() / 2));
        cleanOnly.push_back({"ru+en", mixed});
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

    std::printf("Strings of 20..120 characters per language:");
    for (const Language& language : languages)
        std::printf(" %s %zu", language.name, language.pieces.size());
    for (const Language& language : cleanOnly)
        std::printf(", %s %zu", language.name, language.pieces.size());
    std::printf("\n\n");

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
                        std::fprintf(stderr, "CHANGED %s: %s\n    -> %s\n", language.name, ToUtf8(piece).c_str(), ToUtf8(back).c_str());
                }
            }
            cleanTotal.total += language.pieces.size();
            cleanTotal.right += changed;
            std::printf(" %s %zu/%zu", language.name, changed, language.pieces.size());
        }
    }
    std::printf("\n\n");

    auto measure = [&](const Chain& chain, Tally& sum, std::map<std::string, Tally>& perLanguage) {
        std::printf("%-44s", ChainName(chain).c_str());
        int shown = 0;
        for (const Language& language : languages) {
            Tally tally;
            for (const Text& piece : language.pieces) {
                Text garbled;
                if (!Garble(piece, chain, garbled))
                    continue;
                ++tally.total;
                const Text back = Repair(garbled);
                if (back == piece) {
                    ++tally.right;
                } else if (shown++ < failuresToShow) {
                    std::fprintf(stderr, "MISSED %s %s: %s\n    -> %s\n    want %s\n", ChainName(chain).c_str(), language.name,
                                 ToUtf8(garbled).c_str(), ToUtf8(back).c_str(), ToUtf8(piece).c_str());
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
