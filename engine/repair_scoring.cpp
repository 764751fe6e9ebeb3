// The repair's yardstick on the code page detector's Russian statistics:
// a decoded text is read as the detector reads a code page's bytes, each
// character mapped to the symbol that the statistics know it as.
#include "repair_scoring.h"

#include <algorithm>
#include <cstring>

#include "detection_model.h"
#include "unicode_tables.h"

namespace {

// What a character costs beyond its symbol, in eighths of a nat, where the
// statistics say nothing of it. Set, not counted. A letter of Ukrainian,
// Belarusian, Serbian, Bulgarian or Macedonian reads as the Russian letter
// nearest it, for its case, for more the rarer it is in its languages
// (і as often as и, ґ hardly ever); a Latin or Greek letter other than
// ASCII's reads as a Latin letter does, for five nats; a character that
// the five code pages lack hardly ever stands in Cyrillic text.
int NeighbourLetterCost(char32_t small)
{
    switch (small) {
    case U'і': case U'ј':
        return 4;
    case U'ї': case U'є': case U'ў': case U'љ': case U'њ': case U'ћ':
        return 12;
    case U'џ': case U'ђ': case U'ѓ': case U'ќ': case U'ѝ':
        return 24;
    }
    return 32;
}
const int ForeignLetterCost = 40;
const int RareCost = 88;
// A Cyrillic letter right beside a Latin or Greek one, in one word: that is
// what garbled text looks like, and what text hardly ever holds.
const int MixedScriptCost = 48;
// The Russian statistics know little of the pairs a letter of the other
// languages makes: a pair with one costs what its stand-in's pair does, but
// no less than a common pair and no more than a rare one, so that neither a
// text nor a candidate gains or loses much by them.
const int NeighbourPairLeast = 20;
const int NeighbourPairMost = 40;
// A character that costs this much on its own is one that text hardly holds.
const int StrikingCost = 24;
// The first capital of a word in capitals after a word in capitals.
const int CapitalsRunCost = 4;
// Each letter that the language whose alphabet fits the text best lacks:
// Serbian љ among Bulgarian ъ, Ukrainian ї beside Russian ы.
const int AlphabetCost = 24;

// The languages whose alphabets hold a letter, a bit for each of Russian,
// Ukrainian, Belarusian, Bulgarian, Serbian and Macedonian.
const int AlphabetCount = 6;
const unsigned char AllAlphabets = 0x3F;
enum { Ru = 1, Uk = 2, Be = 4, Bg = 8, Sr = 16, Mk = 32 };

unsigned char AlphabetsOf(char32_t small)
{
    switch (small) {
    case U'ы': case U'э': case U'ё': return Ru | Be;
    case U'ъ': return Ru | Bg;
    case U'щ': return Ru | Uk | Bg;
    case U'й': case U'ь': case U'я': case U'ю': return Ru | Uk | Be | Bg;
    case U'и': return Ru | Uk | Bg | Sr | Mk;
    case U'і': return Uk | Be;
    case U'ї': case U'є': case U'ґ': return Uk;
    case U'ў': return Be;
    case U'ј': case U'љ': case U'њ': case U'џ': return Sr | Mk;
    case U'ђ': case U'ћ': return Sr;
    case U'ѓ': case U'ќ': case U'ѕ': return Mk;
    case U'ѝ': return Bg | Mk;
    }
    return AllAlphabets;
}

enum Kind { OtherKind, CyrillicKind, ForeignKind };

struct CharacterInfo {
    unsigned char code;       // detection_model.h's code: a letter or a symbol
    unsigned char cost;       // on top of its pair and case
    unsigned char kind;
    unsigned char least;      // LeastCostOf
    unsigned char alphabets;  // for a Cyrillic letter
    unsigned char neighbour;  // a letter that Russian lacks
};

const int MaxBlocks = 16;

struct ScoringTables {
    CharacterInfo ascii[128];
    unsigned char blockOf[256];  // block + 1 for characters 0x80..0xFFFF, 0 where unknown
    CharacterInfo blocks[MaxBlocks][256];
    CharacterInfo unknown;
};

// The Russian letter that stands in for each letter U+0400..U+040F (and
// their small forms U+0450..U+045F): Ѐ Ё Ђ Ѓ Є Ѕ І Ї Ј Љ Њ Ћ Ќ Ѝ Ў Џ.
const char16_t NeighbourOf[16] = {
    u'Е', u'Ё', u'Д', u'Г', u'Е', u'З', u'И', u'И', u'Й', u'Л', u'Н', u'Ч', u'К', u'И', u'У', u'Д',
};

int RussianLetterCode(char32_t c)
{
    if (c >= 0x410 && c <= 0x42F)
        return Upper + static_cast<int>(c - 0x410);
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<int>(c - 0x430);
    if (c == 0x401)
        return Upper + 32;
    if (c == 0x451)
        return 32;
    return -1;
}

CharacterInfo& Slot(ScoringTables& tables, int& used, char32_t c)
{
    unsigned char& block = tables.blockOf[c >> 8];
    if (block == 0) {
        block = static_cast<unsigned char>(++used);
        for (CharacterInfo& info : tables.blocks[block - 1])
            info = tables.unknown;
    }
    return tables.blocks[block - 1][c & 0xFF];
}

ScoringTables Build()
{
    const DetectionModel& model = RussianModel;
    ScoringTables tables;
    std::memset(&tables, 0, sizeof tables);
    tables.unknown = {Mark, RareCost, OtherKind, 0, AllAlphabets, 0};
    int used = 0;
    for (char32_t c = 0; c < 0x80; ++c) {
        const int code = model.reading[CodePageCp1251][c];
        const bool latin = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        tables.ascii[c] = {static_cast<unsigned char>(code), 0, static_cast<unsigned char>(latin ? ForeignKind : OtherKind), 0,
                          AllAlphabets, 0};
    }
    // Latin letters from U+00C0 to U+024F but × and ÷, Greek letters.
    for (char32_t c = 0xC0; c < 0x400; ++c) {
        const bool latin = c < 0x250 && c != 0xD7 && c != 0xF7;
        const bool greek = c >= 0x386 && c <= 0x3CE;
        if (latin || greek)
            Slot(tables, used, c) = {Space, ForeignLetterCost, ForeignKind, 0, AllAlphabets, 0};
    }
    // The characters of the five code pages, as the statistics read them.
    for (int page = 0; page < CodePageCount; ++page) {
        for (int byte = 0x80; byte < 0x100; ++byte) {
            const char32_t c = UnicodeOfByte[page][byte - 0x80];
            if (c == 0 || RussianLetterCode(c) >= 0 || (c >= 0x400 && c < 0x460))
                continue;
            CharacterInfo& info = Slot(tables, used, c);
            const int cost = model.markCost[page][byte - 0x80];
            if (info.kind == OtherKind && (info.cost == RareCost || cost < info.cost))
                info = {model.reading[page][byte], static_cast<unsigned char>(cost), OtherKind, 0, AllAlphabets, 0};
        }
    }
    for (char32_t c = 0x400; c < 0x460; ++c) {
        int code = RussianLetterCode(c);
        const char32_t small = c < 0x410 ? c + 0x50 : c < 0x430 ? c + 0x20 : c;
        int cost = 0;
        const bool neighbour = code < 0;
        if (neighbour) {
            code = RussianLetterCode(NeighbourOf[c & 0xF] + (c >= 0x450 ? 0x20 : 0));
            cost = NeighbourLetterCost(small);
        }
        Slot(tables, used, c) = {static_cast<unsigned char>(code), static_cast<unsigned char>(cost), CyrillicKind, 0,
                                 AlphabetsOf(small), neighbour};
    }
    // U+FFFD stands for a character lost on the way, as "?" does.
    Slot(tables, used, 0xFFFD) = tables.ascii[static_cast<unsigned char>('?')];
    // Ґ and ґ as Г and г.
    const unsigned char gheCost = static_cast<unsigned char>(NeighbourLetterCost(U'ґ'));
    Slot(tables, used, 0x490) = {static_cast<unsigned char>(Upper + 3), gheCost, CyrillicKind, 0, Uk, 1};
    Slot(tables, used, 0x491) = {3, gheCost, CyrillicKind, 0, Uk, 1};
    // The least each character can add: its own cost and the cheapest pair
    // into its symbol.
    int leastInto[SymbolCount + 8];
    for (int symbol = 0; symbol < SymbolCount; ++symbol) {
        int least = 255;
        for (int from = 0; from < SymbolCount; ++from)
            least = std::min<int>(least, model.pairCost[from][symbol]);
        leastInto[symbol] = symbol == Space ? 0 : least;
    }
    leastInto[Quote] = std::min(leastInto[OpenQuote], leastInto[CloseQuote]);
    leastInto[SentenceEnd] = leastInto[Mark];
    leastInto[LineEnd] = leastInto[Control] = 0;
    auto least = [&](CharacterInfo& info) {
        int sum = info.cost;
        // Not the case of a letter: in a word in capitals that is free.
        if (IsLetterCode(info.code))
            sum += std::min(leastInto[info.code & (Upper - 1)], NeighbourPairLeast);
        else
            sum += std::min(leastInto[info.code], NeighbourPairLeast);
        info.least = static_cast<unsigned char>(std::min(sum, 255));
    };
    for (CharacterInfo& info : tables.ascii)
        least(info);
    for (int block = 0; block < used; ++block)
        for (CharacterInfo& info : tables.blocks[block])
            least(info);
    least(tables.unknown);
    return tables;
}

const ScoringTables& Tables()
{
    static const ScoringTables tables = Build();
    return tables;
}

inline const CharacterInfo& InfoOf(const ScoringTables& tables, char32_t c)
{
    if (c < 0x80)
        return tables.ascii[c];
    if (c > 0xFFFF)
        return tables.unknown;
    const int block = tables.blockOf[c >> 8];
    return block != 0 ? tables.blocks[block - 1][c & 0xFF] : tables.unknown;
}

} // namespace

bool ScoreCandidate(const char32_t* text, unsigned count, uint32_t limit, const uint32_t* pace, uint32_t slack,
                    uint32_t* running, CandidateScore& score)
{
    const DetectionModel& model = RussianModel;
    const ScoringTables& tables = Tables();
    // A part may begin anywhere in a sentence: it starts as a line does.
    ReadingState state;
    state.caseState = AfterLineEnd;
    uint32_t cost = 0, letters = 0, striking = 0;
    int previousKind = OtherKind;
    bool previousNeighbour = false;
    // The capitals the word so far consists of (-1 once it holds a small
    // letter), and whether the word before was in capitals.
    int wordCapitals = 0;
    bool capitalsBefore = false;
    // Per alphabet, the letters it lacks.
    uint32_t lacking[AlphabetCount] = {};
    for (unsigned at = 0; at < count; ++at) {
        const CharacterInfo& info = InfoOf(tables, text[at]);
        cost += info.cost;
        striking += info.cost >= StrikingCost || text[at] == 0xFFFD;
        if (info.kind != OtherKind && previousKind != OtherKind && info.kind != previousKind) {
            cost += MixedScriptCost;
            ++striking;
        }
        previousKind = info.kind;
        const bool letter = info.kind == CyrillicKind;
        if (letter) {
            ++letters;
            if (info.alphabets != AllAlphabets) {
                for (int alphabet = 0; alphabet < AlphabetCount; ++alphabet)
                    lacking[alphabet] += !(info.alphabets >> alphabet & 1);
            }
        } else if (wordCapitals != 0 && IsLetterCode(state.previous)) {
            // A word ends. One letter alone says nothing of capitals.
            if (wordCapitals != 1)
                capitalsBefore = wordCapitals > 1;
            wordCapitals = 0;
        }
        Advance(state, info.code);
        if (state.from >= 0) {
            uint32_t pair = model.pairCost[state.from][state.to];
            if (info.neighbour || previousNeighbour)
                pair = std::min<uint32_t>(std::max<uint32_t>(pair, NeighbourPairLeast), NeighbourPairMost);
            cost += pair;
        }
        previousNeighbour = info.neighbour;
        if (state.caseBefore >= 0) {
            uint32_t caseCost = model.caseCost[state.caseBefore][state.to][state.capital];
            // A word in capitals pays once, at its second letter, as a word;
            // the next word in capitals, little: text in capitals runs on.
            if (state.capital && wordCapitals >= 2)
                caseCost = 0;
            else if (state.capital && wordCapitals == 0 && capitalsBefore)
                caseCost = std::min<uint32_t>(caseCost, CapitalsRunCost);
            cost += caseCost;
            // A capital after a small letter in a word: "дПВТЩК".
            striking += state.capital && wordCapitals < 0;
            wordCapitals = state.capital && wordCapitals >= 0 ? wordCapitals + 1 : -1;
        }
        if (running)
            running[at] = cost;
        if (cost > limit || (pace && cost > pace[at] + slack)) {
            score = {cost, letters, at + 1, striking};
            return false;
        }
    }
    Finish(state);
    if (state.from >= 0)
        cost += previousNeighbour ? NeighbourPairLeast : model.pairCost[state.from][state.to];
    cost += AlphabetCost * *std::min_element(lacking, lacking + AlphabetCount);
    score = {cost, letters, count, striking};
    return cost <= limit;
}

uint32_t LeastCostOf(char32_t c)
{
    return InfoOf(Tables(), c).least;
}

bool IsStriking(char32_t c)
{
    return InfoOf(Tables(), c).cost >= StrikingCost || c == 0xFFFD;
}
