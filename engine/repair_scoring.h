// The yardstick the repair (text_repair.h) weighs a text and its candidate
// repairs with: how unlikely the characters are as text in a Cyrillic
// language, or in English, in eighths of a nat like the code page
// detector's costs. Every candidate reading of a part is scored the same
// way, so the costs compare; the repair keeps a candidate only when it
// costs clearly less than the text as it is.
//
// Only the repair's files include this. The statistics behind it are the
// code page detector's (detection_model.h); repair_scoring.cpp is the one
// file that knows them.
#pragma once

#include <cstdint>

const unsigned RepairCheckEvery = 8;

struct CandidateScore {
    uint32_t cost;
    uint32_t letters;     // Cyrillic letters
    uint32_t characters;
    // Characters that text hardly holds: a rare symbol or letter, a
    // control, a Cyrillic letter beside a Latin one, a capital after a
    // small letter in a word.
    uint32_t striking;
    // Letters in words in capitals, but for the first of each.
    uint32_t capitals;
    // Letters of the longest run of Cyrillic letters.
    uint32_t longestWord;
};

// Scores count characters as one text. At the end of every
// RepairCheckEvery characters it looks at the cost so far, and stops as
// soon as that passes limit, or where pace is given, passes pace's entry
// for that character by more than slack, and returns false; the score is
// then incomplete. Where running is given, writes the cost so far into it
// at those characters: the pace of this text, for candidates as long.
bool ScoreCandidate(const char32_t* text, unsigned count, uint32_t limit, const uint32_t* pace, uint32_t slack,
                    uint32_t* running, CandidateScore& score);

// A text that a map of characters makes of another without writing it out:
// where index[at] is not Unmapped, its character at is mapped[index[at]],
// elsewhere text[at].
const unsigned char Unmapped = 0xFF;
struct MappedText {
    const char32_t* text;
    const unsigned char* index;
    const char32_t* mapped;
};
bool ScoreCandidate(const MappedText& text, unsigned count, uint32_t limit, const uint32_t* pace, uint32_t slack,
                    CandidateScore& score);

// Never more than what the character c adds to the cost of any text that
// holds it, wherever it stands: a text whose characters' least costs add up
// past a limit costs more than that.
uint32_t LeastCostOf(char32_t c);

// A bound on what a text costs taken from its pairs of neighbouring
// characters, for weighing many maps of one text's characters without
// reading each in order: a text costs at least the sum of its characters'
// own costs and of what each pair adds at the least, in any language and
// any case state (LeastPairCosts, by the characters' classes). Pairs left
// out only lower the sum, so a bound over some of them holds too.
const unsigned PairClassCount = 149;
struct PairBounding {
    unsigned char pairClass;
    unsigned char own;
};
// "?" and U+FFFD, which the scoring may pass over as lost characters, are
// of a class whose pairs cost nothing, and own nothing.
PairBounding PairBoundingOf(char32_t c);
// [from * PairClassCount + to]
const unsigned char* LeastPairCosts();

// Whether c is a character that text hardly holds (CandidateScore.striking).
bool IsStriking(char32_t c);
