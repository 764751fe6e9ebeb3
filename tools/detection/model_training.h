// Makes the detector's statistics from the training part of the corpus.
#pragma once

#include <vector>

#include "cyrillic_corpus.h"
#include "detection_model.h"

// The per-page tables (each byte's token and cost, as iconv decodes it),
// the pair costs counted per language and the case costs counted in all
// languages together. Leaves the confidence table and the NoDecision
// limits alone.
void CountStatistics(const std::vector<LanguageText>& languages, DetectionModel& model);

// One piece of text in one code page that holds it.
struct Sample {
    int language;
    int lengthClass;  // LengthClasses
    int page;         // a reading (detection_model.h)
    Text text;
    Bytes bytes;
    bool sameAs[ReadingCount];  // which readings read its bytes as the same text
};

const int LengthClassCount = 3;
extern const char* const LengthNames[LengthClassCount];

// Pieces of each length class of each language's text, every other one
// with typography, each in every page that holds it (KOI8-U and cp1125 only
// where KOI8-R and cp866 do not). With capitals, pieces in capitals as
// well, and abbreviations made of the initials of consecutive words.
std::vector<Sample> MakeSamples(const std::vector<LanguageText>& languages, const size_t (&perClass)[LengthClassCount],
                                unsigned seed, bool capitals = false);

// The files of a part of the corpus of files (tools/detection/
// make_file_corpus.py) that are in a reading's page, as samples of length
// class 2.
std::vector<Sample> ReadFileSamples(const std::string& folder);

// The NoDecision limits, and the confidence of each margin: the share of
// right decisions among the samples decided with it, made to rise with
// the margin.
void Calibrate(const std::vector<Sample>& samples, DetectionModel& model);
