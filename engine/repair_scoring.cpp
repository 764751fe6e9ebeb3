// The repair's yardstick on the code page detector's statistics of six
// languages: a decoded text is read step by step as the detector reads
// decoded characters (ReadCodePoints), and what only garbled text holds is
// priced on top.
#include "repair_scoring.h"

#include <algorithm>
#include <cstring>

#include "detection_model.h"
#include "detection_step.h"

using namespace detection_step;

namespace {

// A Cyrillic letter right beside a Latin or Greek one, in one word: that is
// what garbled text looks like, and what text hardly ever holds.
const uint32_t MixedScriptCost = 48;
// A character that costs this much on its own is one that text hardly holds.
const int StrikingCost = 24;
// Box drawing that costs more than this (detection_alphabet.cpp) is of the
// kinds few drawings hold.
const int RareBoxCost = 24;
// The running total is looked at every RepairCheckEvery characters, not at
// each: the pair costs sit in lanes between refreshes, and looking at six
// of them costs a little.
const unsigned CheckEvery = RepairCheckEvery;

enum Kind { OtherKind, CyrillicKind, ForeignKind };

struct CharacterInfo {
    unsigned char token;  // DetectionTokenOf
    unsigned char cost;   // DetectionCostOf
    unsigned char kind;
    unsigned char least;  // LeastCostOf
    bool striking;
};

// The blocks of 256 characters that garbled Cyrillic text is made of, as
// tables: Latin-1 to Cyrillic, punctuation to box drawing, and U+FFFD.
// Characters elsewhere are looked up as they come.
const unsigned char TabledBlocks[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x20, 0x21, 0x22, 0x23, 0x25, 0xFF};
const int BlockCount = sizeof TabledBlocks;

struct ScoringTables {
    unsigned char blockOf[256];  // block + 1, 0 where not tabled
    CharacterInfo blocks[BlockCount][256];
    // The least a token adds to any text: its case and its cheapest pair.
    unsigned char leastOf[TokenCount];
    // [from * PairClassCount + to]: the least a character of one class
    // adds after one of the other (PairBoundingOf).
    unsigned char leastPair[PairClassCount * PairClassCount];
};

// The classes of the bound from pairs: each token; Greek letters, which
// mix scripts with Cyrillic ones as Latin letters do, though the detector
// reads them as other characters; and characters that may be passed over,
// whose pairs cost nothing.
const unsigned GreekClass = TokenCount;
const unsigned FreeClass = TokenCount + 1;
static_assert(FreeClass + 1 == PairClassCount, "a class for each token, Greek letters and lost characters");
const char32_t FirstGreek = 0x386, LastGreek = 0x3CE;

bool IsForeignLetter(char32_t c, int token)
{
    return token == TokenOfSymbol(SymbolLatin) || (c >= FirstGreek && c <= LastGreek);
}

// Bullets and middle dots mark the items of lists in text at large (a
// program's messages, a menu), as often as a dash does.
bool IsBullet(char32_t c)
{
    return c == 0x2022 || c == 0x25E6 || c == 0x2023 || c == 0xB7 || c == 0x25AA || c == 0x25CF || c == 0x25CB;
}

bool IsBoxDrawing(char32_t c)
{
    return c >= 0x2500 && c <= 0x25A0;
}

// A Latin letter beyond ASCII: of the languages written in Latin letters,
// or of Cyrillic text read as Latin-1 or cp1252.
bool IsAccentedLatin(char32_t c)
{
    return c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7;
}

CharacterInfo Describe(char32_t c, const unsigned char* leastOf)
{
    // U+FFFD stands for a character lost on the way, as "?" does.
    const char32_t as = c == 0xFFFD ? U'?' : c;
    const int token = DetectionTokenOf(as);
    const int cost = IsBullet(c) ? 16 : DetectionCostOf(as);
    CharacterInfo info;
    info.token = static_cast<unsigned char>(token);
    info.cost = static_cast<unsigned char>(cost);
    info.kind = static_cast<unsigned char>(IsLetterToken(token) ? CyrillicKind : IsForeignLetter(c, token) ? ForeignKind : OtherKind);
    info.least = static_cast<unsigned char>(std::min(255, cost + leastOf[token]));
    info.striking = (cost >= StrikingCost && !IsBullet(c)) || c == 0xFFFD || IsBoxDrawing(c);
    return info;
}

int KindOfToken(int token)
{
    return IsLetterToken(token) ? CyrillicKind : token == TokenOfSymbol(SymbolLatin) ? ForeignKind : OtherKind;
}

int GreekKind(int token)
{
    return IsLetterToken(token) ? CyrillicKind : ForeignKind;
}

// What a token adds after another, at the least: its pair in the cheapest
// language, its case in the cheapest state the other leaves, and the mixing
// of scripts. The scoring takes the cheapest language over the whole text,
// never less than the cheapest for each pair.
int LeastAfter(const DetectionModel& model, int from, int fromKind, int to, int toKind)
{
    int pair = 255;
    for (int language = 0; language < LanguageCount; ++language)
        pair = std::min<int>(pair, model.pairCost[SymbolOfToken(from) * SymbolStride + SymbolOfToken(to)][language]);
    int caseCost = 255;
    for (int state = 0; state < CaseStateCount; ++state)
        caseCost = std::min<int>(caseCost, model.caseCost[NextCaseState(state, from)][to]);
    // A Latin letter before a Cyrillic one may be markup (\fB, %s), which
    // mixes no scripts: only the other way round is sure to pay.
    const bool mixed = fromKind == CyrillicKind && toKind == ForeignKind;
    return std::min(255, pair + caseCost + (mixed ? static_cast<int>(MixedScriptCost) : 0));
}

void BuildLeastPairs(const DetectionModel& model, unsigned char* leastPair)
{
    // The tokens Greek letters read as: a Greek letter costs at least the
    // least of them.
    bool isGreek[TokenCount] = {};
    for (char32_t c = FirstGreek; c <= LastGreek; ++c)
        isGreek[DetectionTokenOf(c)] = true;
    int greek[TokenCount];
    int greekCount = 0;
    for (int token = 0; token < TokenCount; ++token) {
        if (isGreek[token])
            greek[greekCount++] = token;
    }
    for (unsigned from = 0; from < FreeClass; ++from) {
        const bool fromGreek = from == GreekClass;
        for (unsigned to = 0; to < FreeClass; ++to) {
            const bool toGreek = to == GreekClass;
            int least = 255;
            for (int i = 0; i < (fromGreek ? greekCount : 1); ++i) {
                const int fromToken = fromGreek ? greek[i] : static_cast<int>(from);
                const int fromKind = fromGreek ? GreekKind(fromToken) : KindOfToken(fromToken);
                for (int k = 0; k < (toGreek ? greekCount : 1); ++k) {
                    const int toToken = toGreek ? greek[k] : static_cast<int>(to);
                    const int toKind = toGreek ? GreekKind(toToken) : KindOfToken(toToken);
                    least = std::min(least, LeastAfter(model, fromToken, fromKind, toToken, toKind));
                }
            }
            leastPair[from * PairClassCount + to] = static_cast<unsigned char>(least);
        }
    }
}

ScoringTables Build()
{
    const DetectionModel& model = CyrillicModel;
    ScoringTables tables;
    std::memset(&tables, 0, sizeof tables);
    int cheapestInto[SymbolStride];
    for (int symbol = 0; symbol < SymbolStride; ++symbol) {
        int least = 255;
        for (int from = 0; from < SymbolStride; ++from)
            for (int language = 0; language < LanguageCount; ++language)
                least = std::min<int>(least, model.pairCost[from * SymbolStride + symbol][language]);
        cheapestInto[symbol] = least;
    }
    for (int token = 0; token < TokenCount; ++token) {
        int caseLeast = 255;
        for (int state = 0; state < CaseStateCount; ++state)
            caseLeast = std::min<int>(caseLeast, model.caseCost[state][token]);
        tables.leastOf[token] = static_cast<unsigned char>(std::min(255, caseLeast + cheapestInto[SymbolOfToken(token)]));
    }
    BuildLeastPairs(model, tables.leastPair);
    for (int block = 0; block < BlockCount; ++block) {
        tables.blockOf[TabledBlocks[block]] = static_cast<unsigned char>(block + 1);
        for (char32_t low = 0; low < 256; ++low)
            tables.blocks[block][low] = Describe(static_cast<char32_t>(TabledBlocks[block]) << 8 | low, tables.leastOf);
    }
    return tables;
}

const ScoringTables& ScoringTablesOnce()
{
    static const ScoringTables tables = Build();
    return tables;
}

inline CharacterInfo InfoOf(const ScoringTables& tables, char32_t c)
{
    const int block = c <= 0xFFFF ? tables.blockOf[c >> 8] : 0;
    return block != 0 ? tables.blocks[block - 1][c & 0xFF] : Describe(c, tables.leastOf);
}

// The cost of the reading so far: its cheapest language's, the pairs still
// in the lanes included.
uint32_t CostSoFar(const TextReading& reading)
{
    uint32_t least = ~0u;
    for (int language = 0; language < LanguageCount; ++language) {
        const uint64_t lanes = language % 2 == 0 ? reading.even : reading.odd;
        const uint32_t cost = reading.score.language[language] + (static_cast<uint32_t>(lanes >> (16 * (language / 2))) & 0xFFFF);
        least = std::min(least, cost);
    }
    return least + reading.score.shared;
}

// The scoring of a text, whichever way its characters come: source(at) is
// the character at.
template <typename Source>
bool ScoreText(const Source& source, unsigned count, uint32_t limit, const uint32_t* pace, uint32_t slack,
               uint32_t* running, CandidateScore& score)
{
    const DetectionModel& model = CyrillicModel;
    const ScoringTables& tables = ScoringTablesOnce();
    TextReading reading;
    BeginText(reading);
    // What the detector's reading does not hold: the characters' own costs
    // and the mixing of scripts.
    uint32_t extra = 0, letters = 0, striking = 0, capitals = 0;
    int previousKind = OtherKind;
    char32_t previous = 0;
    bool markup = false;      // the Latin letters so far follow a backslash or a percent sign: \fB, %s
    unsigned wordLetters = 0;  // letters of the word so far
    bool mixedWord = false;    // the word so far mixes scripts
    uint32_t run = 0, longest = 0;  // Cyrillic letters in a row
    for (unsigned at = 0; at < count; ++at) {
        const char32_t c = source(at);
        const CharacterInfo info = InfoOf(tables, c);
        const char32_t next = at + 1 < count ? source(at + 1) : 0;
        const CharacterInfo following = InfoOf(tables, next);
        // A "?" or U+FFFD right before a letter stands for a character lost
        // on the way, not for the end of a sentence: the reading passes over
        // it, so that the word reads on.
        const bool lost = (c == '?' || c == 0xFFFD) && at + 1 < count && following.kind == CyrillicKind;
        if (lost) {
            striking += info.striking;
        } else {
            if (info.kind == ForeignKind && previousKind != ForeignKind)
                markup = previous == '\\' || previous == '%';
            // A word that mixes scripts is garbage once, however often it
            // changes script: a Latin letter typed into a Cyrillic word
            // ("Фyфлоновые") is one mistake, not two.
            if (info.kind != OtherKind && previousKind != OtherKind && info.kind != previousKind &&
                !(markup && previousKind == ForeignKind)) {
                extra += MixedScriptCost;
                striking += !mixedWord;
                mixedWord = true;
            }
            mixedWord = mixedWord && info.kind != OtherKind;
            letters += info.kind == CyrillicKind;
            extra += info.cost;
            // A capital after a small letter in a word: "дПВТЩК", but not a
            // unit of two letters (кБ, мВ).
            const bool capital = info.token >= CapitalToken && IsLetterToken(info.token);
            const bool unit = wordLetters == 1 && following.kind == OtherKind;
            // Box drawing beside letters or of the joints of single and
            // double lines that few drawings hold, and Latin letters beyond
            // ASCII beside others of them or Cyrillic ones, are what garbled
            // text is made of; else they are frames, tables and the letters
            // of French, German or Italian words.
            bool strikes = info.striking;
            // A quote between two letters: no word holds one, but an
            // apostrophe.
            const int symbol = SymbolOfToken(info.token);
            if (symbol == SymbolQuote || symbol == SymbolOpenQuote || symbol == SymbolCloseQuote)
                strikes = strikes || (previousKind != OtherKind && following.kind != OtherKind);
            if (IsBoxDrawing(c))
                strikes = info.cost > RareBoxCost || previousKind != OtherKind || following.kind != OtherKind;
            else if (IsAccentedLatin(c))
                strikes = IsAccentedLatin(previous) || IsAccentedLatin(next) || previousKind == CyrillicKind ||
                          following.kind == CyrillicKind;
            else if (c >= FirstGreek && c <= LastGreek)
                strikes = previousKind == CyrillicKind || following.kind == CyrillicKind;
            striking += strikes || (capital && reading.caseState == InSmall && !unit);
            capitals += capital && (reading.caseState == AfterFirstCapital || reading.caseState == InCapitals ||
                                    reading.caseState == FirstCapitalAfterCapitals);
            wordLetters = info.kind != OtherKind ? wordLetters + 1 : 0;
            run = info.kind == CyrillicKind ? run + 1 : 0;
            longest = run > longest ? run : longest;
            previousKind = info.kind;
            previous = c;
            Step(model, reading, info.token);
        }
        if ((at + 1) % CheckEvery == 0) {
            // No more than LaneSteps steps between emptyings: one a
            // character at most.
            static_assert(LaneSteps % CheckEvery == 0, "the lanes are emptied at a look");
            if ((at + 1) % LaneSteps == 0)
                EmptyLanes(reading);
            const uint32_t cost = CostSoFar(reading) + extra;
            if (running)
                running[at] = cost;
            if (cost > limit || (pace && cost > pace[at] + slack)) {
                score = {cost, letters, at + 1, striking, capitals, longest};
                return false;
            }
        }
    }
    // The end of a text ends its last word.
    Step(model, reading, TokenOfSymbol(SymbolSpace));
    EmptyLanes(reading);
    const uint32_t cost = BestLanguageCost(reading.score) + extra;
    score = {cost, letters, count, striking, capitals, longest};
    return cost <= limit;
}

} // namespace

bool ScoreCandidate(const char32_t* text, unsigned count, uint32_t limit, const uint32_t* pace, uint32_t slack,
                    uint32_t* running, CandidateScore& score)
{
    return ScoreText([text](unsigned at) { return text[at]; }, count, limit, pace, slack, running, score);
}

bool ScoreCandidate(const MappedText& text, unsigned count, uint32_t limit, const uint32_t* pace, uint32_t slack,
                    CandidateScore& score)
{
    const MappedText source = text;
    return ScoreText(
        [source](unsigned at) {
            const unsigned char index = source.index[at];
            return index == Unmapped ? source.text[at] : source.mapped[index];
        },
        count, limit, pace, slack, nullptr, score);
}

uint32_t LeastCostOf(char32_t c)
{
    return InfoOf(ScoringTablesOnce(), c).least;
}

PairBounding PairBoundingOf(char32_t c)
{
    if (c == '?' || c == 0xFFFD)
        return {static_cast<unsigned char>(FreeClass), 0};
    const CharacterInfo info = InfoOf(ScoringTablesOnce(), c);
    const bool greek = c >= FirstGreek && c <= LastGreek;
    return {static_cast<unsigned char>(greek ? GreekClass : info.token), info.cost};
}

const unsigned char* LeastPairCosts()
{
    return ScoringTablesOnce().leastPair;
}

bool IsStriking(char32_t c)
{
    return InfoOf(ScoringTablesOnce(), c).striking;
}
