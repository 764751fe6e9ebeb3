// The statistics the code page detector scores a text with, and the scoring
// itself, open for the tool that trains the statistics (tools/detection),
// for the detection benchmark, and for whoever has to tell how Cyrillic a
// text already decoded reads (ScoreCodePoints). Everyone else calls
// DetectCodePage or DetectTextEncoding.
//
// A text is read as a sequence of tokens, one a character: a Cyrillic
// letter (small or capital) of any of the six languages written in the five
// code pages, or a kind of non-letter. A reading pays, per language, for
// each pair of consecutive symbols (a token with its case folded), and
// once for all languages for the case of each letter and for each rare
// character. The reading's cost is its cheapest language's.
//
// Costs are negative natural logarithms of probabilities in eighths of a
// nat (cost 8 = probability 1/e), so a reading's score is a sum of small
// integers and comes out the same on every compiler.
#pragma once

#include <cstdint>

#include "code_page_detection.h"

enum DetectionLanguage {
    LanguageRussian,
    LanguageUkrainian,
    LanguageBelarusian,
    LanguageBulgarian,
    LanguageSerbian,
    LanguageMacedonian,
};
const int LanguageCount = 6;
// Pair costs are kept for eight languages side by side, two of them unused,
// so that one 64-bit load fetches a pair's cost in every language.
const int LaneCount = 8;

// Letters, case folded: а..я as 0..31, ё 32, then the letters of the
// neighbouring languages.
enum ExtraLetter {
    LetterYo = 32,
    LetterI = 33,       // і
    LetterYi = 34,      // ї
    LetterYe = 35,      // є
    LetterGhe = 36,     // ґ
    LetterShortU = 37,  // ў
    LetterDje = 38,     // ђ
    LetterTshe = 39,    // ћ
    LetterLje = 40,     // љ
    LetterNje = 41,     // њ
    LetterDzhe = 42,    // џ
    LetterJe = 43,      // ј
    LetterGje = 44,     // ѓ
    LetterKje = 45,     // ќ
    LetterDze = 46,     // ѕ
};
const int LetterCount = 47;

// The symbols after the letters: what lies between and around words.
enum NonLetterSymbol {
    SymbolSpace = LetterCount,  // white space
    SymbolLatin,                // a Latin letter
    SymbolDigit,
    SymbolMark,                 // punctuation but for the kinds below, and symbols
    SymbolStop,                 // . ! ? …
    SymbolQuote,                // " “ ‘: opening or closing
    SymbolOpenQuote,            // « „ ‚ ‹
    SymbolCloseQuote,           // » ” ›
    SymbolApostrophe,           // ' ’ ʼ, inside Ukrainian and Belarusian words
    SymbolHyphen,               // -
    SymbolDash,                 // – — ―
    SymbolRare,                 // a character text in these languages hardly holds
    // Box drawing by the arms that reach its neighbours on the line, so that
    // a frame or a table reads as one and capitals misread as box drawing
    // do not: ─ ═ ┬ ┼ reach both ways, ┌ ├ ╚ only right, ┐ ┤ ╝ only left,
    // │ ║ neither.
    SymbolBoxBoth,
    SymbolBoxRight,
    SymbolBoxLeft,
    SymbolBoxSide,
    SymbolShade,                // █ ▄ ▀ ▌ ▐ ░ ▒ ▓ ■: blocks and shading
    SymbolCount,
};
const int SymbolStride = 64;
static_assert(SymbolCount <= SymbolStride, "a pair's row holds every symbol");

constexpr bool IsBoxSymbol(int symbol) { return symbol >= SymbolBoxBoth && symbol <= SymbolShade; }

// Tokens: a small letter is its letter, a capital 64 + its letter, a
// non-letter 128 + its symbol's place after the letters; two more kinds of
// white space, which pair as SymbolSpace but end a line or do not belong in
// text.
const int CapitalToken = 64;
const int NonLetterToken = 128;
constexpr int TokenOfSymbol(int symbol) { return NonLetterToken + symbol - LetterCount; }
const int LineEndToken = NonLetterToken + SymbolCount - LetterCount;
const int ControlToken = LineEndToken + 1;
const int TokenCount = ControlToken + 1;

constexpr bool IsLetterToken(int token) { return token < NonLetterToken; }
constexpr int SymbolOfToken(int token)
{
    if (token < NonLetterToken)
        return token & (CapitalToken - 1);
    return token >= LineEndToken ? SymbolSpace : token - NonLetterToken + LetterCount;
}

// What a character is to the detector, and what it costs beyond its pair:
// nothing for letters and ASCII, little for typography, much for what text
// in these languages hardly holds (box drawing, a byte a page leaves
// undefined, control characters from 0x80 up). Shared by the detector
// (ScoreCodePoints), the tool that makes the model's per-page tables, and
// so with every page.
int DetectionTokenOf(char32_t c);
int DetectionCostOf(char32_t c);

// The case of a letter depends on what precedes it: the start of a
// sentence or a line, another gap between words, the first letter of a
// word in capitals, a word in capitals so far, a word in small letters.
// A word in capitals pays once, at its second letter, like a word; after
// it, the next word in capitals pays little, since text in capitals runs
// on (a heading, a text typed in capitals).
enum CaseState {
    AfterSentenceEnd,
    AfterLineEnd,
    AfterGap,
    AfterFirstCapital,
    InCapitals,
    InSmall,
    AfterCapitalsWord,  // a gap after a word in capitals
    FirstCapitalAfterCapitals,
    CaseStateCount
};

// The state after token in state.
constexpr int NextCaseState(int state, int token)
{
    const bool capitals = state == InCapitals || state == AfterCapitalsWord;
    if (IsLetterToken(token)) {
        if (token < CapitalToken)
            return InSmall;
        if (state == AfterFirstCapital || state == InCapitals || state == FirstCapitalAfterCapitals)
            return InCapitals;
        if (state == InSmall)
            return InSmall;
        return capitals ? FirstCapitalAfterCapitals : AfterFirstCapital;
    }
    if (capitals || state == FirstCapitalAfterCapitals)
        return AfterCapitalsWord;
    if (token == TokenOfSymbol(SymbolStop))
        return AfterSentenceEnd;
    // A word of Latin letters or digits is a word: what follows it is not
    // at a sentence's start.
    const int symbol = SymbolOfToken(token);
    // Text inside a frame starts as a line does.
    if (IsBoxSymbol(symbol))
        return AfterLineEnd;
    if (symbol == SymbolLatin || symbol == SymbolDigit || symbol == SymbolRare || symbol == SymbolApostrophe)
        return AfterGap;
    if (state == AfterSentenceEnd)
        return AfterSentenceEnd;
    if (token == LineEndToken || state == AfterLineEnd)
        return AfterLineEnd;
    return AfterGap;
}

// Readings that differ in few characters are told apart less surely at the
// same margin: the evidence is the number of bytes the best reading and
// the runner-up read differently.
const int EvidenceBandCount = 4;
inline int EvidenceBand(uint32_t differing)
{
    return differing < 2 ? 0 : differing < 4 ? 1 : differing < 8 ? 2 : 3;
}

// The readings of the bytes: the five code pages (CodePageIndex), then the
// two that Ukrainian text is written in on Unix and in DOS, which tarvoconv
// converts though the program does not.
enum ExtraReading {
    ReadingKoi8u = CodePageCount,
    ReadingCp1125,
};
const int ReadingCount = CodePageCount + 2;

// The character a byte from 0x80 up is in a reading (as the engine's tables
// have it), 0 where it is none.
char32_t ReadingCharacter(int reading, unsigned byte);

// Two readings that differ mostly in the case of their letters are told
// apart less surely at the same margin: cp1251 in capitals is KOI8-R in
// small letters, and a word or two in capitals says little by its case.
// So are two that differ mostly in letters for letters of the same case
// (cp1125's і is cp866's ў, KOI8-U's ґ KOI8-R's box drawing's neighbour):
// both read as words. The confidence is calibrated apart for each kind.
enum PairKind {
    PairOther,
    PairCaseFlipped,
    PairLettersSwapped,
};
const int PairKindCount = 3;

struct DetectionModel {
    // [reading][byte]: the token each byte reads as, and what it costs beyond
    // its pair (DetectionCostOf of its character; nothing below 0x80).
    unsigned char token[ReadingCount][256];
    unsigned char byteCost[ReadingCount][256];
    // [previous * SymbolStride + next][language]. Space after space costs
    // nothing: a run of white space is one gap.
    unsigned char pairCost[SymbolStride * SymbolStride][LaneCount];
    // [CaseState][token]: what a letter's case costs there; 0 for non-letters.
    unsigned char caseCost[CaseStateCount][TokenCount];
    // The confidence of a decision, by how the best reading and the
    // runner-up differ (PairKind), by its evidence (EvidenceBand) and by the margin by
    // which the best reading beats the best reading of other characters, in
    // quarters of a nat up to the last entry: no more than the share of
    // right decisions among those so made in the calibration part, in
    // percent.
    unsigned char confidence[PairKindCount][EvidenceBandCount][64];
    // [reading]: what a reading costs before its first byte, for how much
    // rarer text in its page is than text in cp1251.
    unsigned char pageCost[ReadingCount];
    // NoDecision below this many letters in the best reading, or above this
    // mean cost of a byte from 0x80 up in it: what the reading costs beyond
    // the ASCII around them (PageScores.ascii), a byte.
    int minimumLetters;
    int highestMeanByteCost;
};

// The statistics trained from text in the six languages: cyrillic_statistics.cpp.
extern const DetectionModel CyrillicModel;

// A reading's costs so far.
struct TextScore {
    uint32_t language[LanguageCount];  // the pair costs under each language
    uint32_t shared;                   // case and rare characters, the same under every language
    uint32_t letters;
    uint32_t characters;
};

// The cheapest language's total cost, and which language that is.
uint32_t BestLanguageCost(const TextScore& score, int* language = nullptr);

// A reading of decoded characters as it goes along, for texts that come in
// pieces: BeginText, ReadCodePoints as often as needed, EndText.
struct TextReading {
    uint64_t even, odd;  // pair costs in 16-bit lanes: languages 0, 2, 4, 6 and 1, 3, 5, 7
    unsigned pending;    // pairs in the lanes since they were last emptied
    int previous;        // symbol
    int caseState;
    TextScore score;
};
void BeginText(TextReading& reading);
void ReadCodePoints(const DetectionModel& model, TextReading& reading, const char32_t* text, unsigned count);
void EndText(const DetectionModel& model, TextReading& reading, TextScore& score);

// Scores count characters already decoded as one text, whatever encoding
// they came from: the same yardstick as a code page's reading of bytes, so
// candidate decodings of one text compare. Allocation-free.
void ScoreCodePoints(const DetectionModel& model, const char32_t* text, unsigned count, TextScore& score);

struct PageScores {
    TextScore page[ReadingCount];
    // The cost of the ASCII frame of the text: every byte from 0x80 up read
    // as a space. What a reading costs beyond it is what its letters cost,
    // however much ASCII (markup, code, English) surrounds them.
    uint32_t ascii;
    unsigned controls;  // control bytes that text does not hold
    unsigned high;      // bytes from 0x80 up
    unsigned start;     // where the bytes looked at begin
    unsigned looked;    // bytes looked at
    // [reading]: the readings that read every byte looked at as the same
    // characters as it does (a bit for each, its own included).
    unsigned char twins[ReadingCount];
    uint32_t histogram[256];  // how often each byte value was looked at
};

// The bytes the detector looks at, [start, end): DetectionWindow bytes from
// the start, or from a little before the first byte from 0x80 up where that
// lies beyond the window, and on by whole windows while those hold too
// little Cyrillic (fewer than 256 bytes from 0x80 up), up to DetectionReach
// bytes in all.
void FindDetectionRegion(const unsigned char* bytes, unsigned count, unsigned& start, unsigned& end);

// Reads the bytes of the detection region in every reading.
void ScoreCodePages(const DetectionModel& model, const unsigned char* bytes, unsigned count, PageScores& scores);

// The reading that the start of a text names for itself: a charset in its
// markup or MIME headers, an encoded word of a header, an XML encoding or a
// source file's coding. NoDecision where it names none of the readings.
int DeclaredReading(const unsigned char* bytes, unsigned count);

// How a decision was made: what its confidence is looked up by.
struct DecisionDetail {
    int runnerUp;        // the best reading of other characters
    uint32_t margin;     // by which the best beats it, in eighths of a nat
    uint32_t differing;  // bytes the two read as different characters
    int kind;            // PairKind of the two
};

// The verdict on scores made with the same model: page is a reading
// (CodePageIndex or ExtraReading), or NoDecision. declared, where not
// NoDecision, is the reading the text names for itself (a charset in its
// markup or headers), which weighs a little for it. Where detail is given
// and there is a decision, says how it was made.
Detection DecideCodePage(const DetectionModel& model, const PageScores& scores, int declared = NoDecision,
                         DecisionDetail* detail = nullptr);

// The confidence of a decision won by margin (in eighths of a nat) over a
// reading that differs in differing characters, the two of a PairKind.
int ConfidenceOfMargin(const DetectionModel& model, uint32_t margin, uint32_t differing, int kind = PairOther);
