// Scoring a text already decoded.
#include "detection_model.h"
#include "detection_step.h"

using namespace detection_step;

uint32_t BestLanguageCost(const TextScore& score, int* language)
{
    int best = 0;
    for (int other = 1; other < LanguageCount; ++other) {
        if (score.language[other] < score.language[best])
            best = other;
    }
    if (language)
        *language = best;
    return score.language[best] + score.shared;
}

void BeginText(TextReading& reading)
{
    reading = TextReading{};
    // A text may begin anywhere in a sentence: it starts as a line does.
    reading.previous = SymbolSpace;
    reading.caseState = AfterLineEnd;
}

void ReadCodePoints(const DetectionModel& model, TextReading& reading, const char32_t* text, unsigned count)
{
    for (unsigned at = 0; at < count; ++at) {
        const int token = DetectionTokenOf(text[at]);
        Step(model, reading, token);
        reading.score.shared += static_cast<uint32_t>(DetectionCostOf(text[at]));
        reading.score.letters += IsLetterToken(token);
        ++reading.score.characters;
        if (++reading.pending == LaneSteps)
            EmptyLanes(reading);
    }
}

void EndText(const DetectionModel& model, TextReading& reading, TextScore& score)
{
    // The end of a text ends its last word.
    Step(model, reading, TokenOfSymbol(SymbolSpace));
    EmptyLanes(reading);
    score = reading.score;
}

void ScoreCodePoints(const DetectionModel& model, const char32_t* text, unsigned count, TextScore& score)
{
    TextReading reading;
    BeginText(reading);
    ReadCodePoints(model, reading, text, count);
    EndText(model, reading, score);
}
