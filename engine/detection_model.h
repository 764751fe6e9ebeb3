// The statistics the code page detector scores a text with, and the scoring
// itself, open for the tool that trains the statistics (tools/detection) and
// for the detection benchmark. Everyone else calls DetectCodePage.
//
// Costs are negative natural logarithms of probabilities in eighths of a
// nat (cost 8 = probability 1/e), so a reading's score is a sum of small
// integers and comes out the same on every compiler.
#pragma once

#include "code_page_detection.h"

// What a byte is in one reading, in DetectionModel::reading:
//   0..32          a lower-case Russian letter: а..я as 0..31, ё as 32
//   Upper + 0..32  the same letter in capitals
//   Space          white space, digits and Latin letters
//   Mark           punctuation but for quotes and dashes, and any other
//                  character; a byte from 0x80 up that is not a Russian
//                  letter costs its markCost on top
//   OpenQuote      « „
//   CloseQuote     » ”
//   Dash           hyphens and dashes
//   Quote          " ' “ ‘: an OpenQuote after a Space, an OpenQuote or a
//                  Dash, a CloseQuote otherwise
//   SentenceEnd    . ! ? : a Mark after which a capital is likely
//   LineEnd        a Space that ends a line
//   Control        a control byte that text does not hold: a Space otherwise
// The pair statistics know the 33 letters and the five symbols from Space
// to Dash.
const int LetterCount = 33;
const int Space = 33;
const int Mark = 34;
const int OpenQuote = 35;
const int CloseQuote = 36;
const int Dash = 37;
const int SymbolCount = 38;
const int Quote = 38;
const int SentenceEnd = 39;
const int LineEnd = 40;
const int Control = 41;
const int Upper = 64;

// The case of a letter depends on what precedes it.
enum CaseState { AfterSentenceEnd, AfterLineEnd, AfterGap, AfterCapital, AfterSmall, CaseStateCount };

struct DetectionModel {
    unsigned char reading[CodePageCount][256];
    // [page][byte - 0x80]: what a non-letter costs beyond its symbol.
    unsigned char markCost[CodePageCount][128];
    // [previous][next] symbol. A run of Space is one Space: Space after
    // Space costs nothing.
    unsigned char pairCost[SymbolCount][SymbolCount];
    // [CaseState][letter][0 small, 1 capital]
    unsigned char caseCost[CaseStateCount][LetterCount][2];
    // Confidence: the scale of a softmax over the readings' costs in nats,
    // in thousandths.
    int confidenceScale;
    // NoDecision below this many Russian letters in the best reading, or
    // above this mean cost of a letter in it.
    int minimumLetters;
    int highestMeanLetterCost;
};

// The statistics trained from Russian prose: russian_statistics.cpp.
extern const DetectionModel RussianModel;

// One reading of a text as it goes along, and what its last byte added:
// the pair from one symbol to the next (none when from == -1) and, for a
// letter, its case after the state before it (none when caseBefore == -1).
// The detector adds the costs of these; train_detection counts them.
// A text starts as a sentence does.
struct ReadingState {
    int previous = Space;
    int caseState = AfterSentenceEnd;
    int from = -1, to = -1;
    int caseBefore = -1, capital = 0;
};

inline bool IsLetterCode(int code)
{
    return code < LetterCount || (code >= Upper && code < Upper + LetterCount);
}

inline void Advance(ReadingState& state, int code)
{
    if (IsLetterCode(code)) {
        const int letter = code & (Upper - 1);
        state.capital = code >= Upper;
        state.from = state.previous;
        state.to = state.previous = letter;
        state.caseBefore = state.caseState;
        state.caseState = state.capital ? AfterCapital : AfterSmall;
        return;
    }
    int symbol = code;
    if (code == LineEnd || code == Control)
        symbol = Space;
    else if (code == SentenceEnd)
        symbol = Mark;
    else if (code == Quote)
        symbol = state.previous == Space || state.previous == OpenQuote || state.previous == Dash ? OpenQuote : CloseQuote;
    state.from = symbol == Space && state.previous == Space ? -1 : state.previous;
    state.to = state.previous = symbol;
    state.caseBefore = -1;
    if (code == SentenceEnd)
        state.caseState = AfterSentenceEnd;
    else if (code == LineEnd && state.caseState != AfterSentenceEnd)
        state.caseState = AfterLineEnd;
    else if (state.caseState == AfterCapital || state.caseState == AfterSmall)
        state.caseState = AfterGap;
}

// The end of a text ends its last word.
inline void Finish(ReadingState& state)
{
    state.from = state.previous == Space ? -1 : state.previous;
    state.to = state.previous = Space;
    state.caseBefore = -1;
}

struct PageScores {
    unsigned cost[CodePageCount];     // the reading's total cost
    unsigned letters[CodePageCount];  // Russian letters in the reading
    unsigned controls;                // control bytes
    unsigned looked;                  // bytes looked at
    bool utf8;                        // valid UTF-8 with a character from 0x80 up
    // Whether any byte reads as a different character in Macintosh Cyrillic
    // than in cp1251, or than in cp866.
    bool macDiffersFromCp1251;
    bool macDiffersFromCp866;
};

// Reads the first DetectionWindow bytes (at most) in all five code pages.
void ScoreCodePages(const DetectionModel& model, const unsigned char* bytes, unsigned count,
                    PageScores& scores);

// The verdict on scores made with the same model.
Detection DecideCodePage(const DetectionModel& model, const PageScores& scores);
