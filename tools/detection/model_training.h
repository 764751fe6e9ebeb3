// Makes the detector's statistics from the training part of the corpus.
#pragma once

#include <vector>

#include "detection_model.h"
#include "russian_corpus.h"

// What a character is to the detector: a reading code (detection_model.h),
// and, for a non-letter from 0x80 up, its markCost.
int CodeOfCharacter(char32_t c);
int MarkCostOf(char32_t c);

// The pair and case costs counted in the texts, and the readings of the
// five code pages as iconv decodes them. Leaves the confidence scale and
// the NoDecision limits alone.
void CountStatistics(const std::vector<Text>& texts, DetectionModel& model);

// One text in one code page, scored.
struct ScoredSample {
    int page;
    int lengthClass;        // 0 short, 1 long
    size_t piece;           // its place among the pieces of its length
    bool sameAs[CodePageCount];  // which pages read its bytes as the same text
    PageScores scores;
};

std::vector<ScoredSample> ScoreSamples(const DetectionModel& model, const std::vector<Text>& shortPieces,
                                       const std::vector<Text>& longPieces);

// The confidence scale that makes the probabilities fit the samples best,
// and the NoDecision limit of a letter's mean cost that no sample reaches.
void Calibrate(const std::vector<ScoredSample>& samples, DetectionModel& model);
