#include "code_page_detection.h"

#include <cmath>

#include "detection_model.h"

namespace {

struct Reading {
    ReadingState state;
    unsigned cost;
    unsigned letters;
};

void AddCosts(const DetectionModel& model, Reading& reading)
{
    const ReadingState& state = reading.state;
    if (state.from >= 0)
        reading.cost += model.pairCost[state.from][state.to];
    if (state.caseBefore >= 0) {
        reading.cost += model.caseCost[state.caseBefore][state.to][state.capital];
        ++reading.letters;
    }
}

} // namespace

bool IsUtf8Text(const unsigned char* bytes, unsigned count)
{
    bool multibyte = false;
    unsigned at = 0;
    while (at < count) {
        const unsigned char lead = bytes[at];
        if (lead < 0x80) {
            ++at;
            continue;
        }
        unsigned length = 0;
        unsigned char low = 0x80, high = 0xBF;  // the second byte's range
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        for (unsigned k = 1; k < length; ++k) {
            if (at + k == count)
                return multibyte;
            const unsigned char next = bytes[at + k];
            if (k == 1 ? (next < low || next > high) : (next & 0xC0) != 0x80)
                return false;
        }
        multibyte = true;
        at += length;
    }
    return multibyte;
}

void ScoreCodePages(const DetectionModel& model, const unsigned char* bytes, unsigned count,
                    PageScores& scores)
{
    const unsigned looked = count < DetectionWindow ? count : DetectionWindow;
    Reading readings[CodePageCount] = {};
    scores = PageScores{};
    scores.looked = looked;

    for (unsigned at = 0; at < looked; ++at) {
        const unsigned char byte = bytes[at];
        for (int page = 0; page < CodePageCount; ++page) {
            Reading& reading = readings[page];
            Advance(reading.state, model.reading[page][byte]);
            AddCosts(model, reading);
            if (byte >= 0x80)
                reading.cost += model.markCost[page][byte - 0x80];
        }
        if (byte >= 0x80) {
            const int mac = model.reading[CodePageMac][byte];
            const bool letterInMac = IsLetterCode(mac);
            scores.macDiffersFromCp1251 |= !letterInMac || mac != model.reading[CodePageCp1251][byte];
            scores.macDiffersFromCp866 |= !letterInMac || mac != model.reading[CodePageCp866][byte];
        } else if (model.reading[0][byte] == Control) {
            ++scores.controls;
        }
    }

    // A text that ends here ends its last word; one cut by the window may not.
    for (int page = 0; page < CodePageCount; ++page) {
        Reading& reading = readings[page];
        if (looked == count) {
            Finish(reading.state);
            AddCosts(model, reading);
        }
        scores.cost[page] = reading.cost;
        scores.letters[page] = reading.letters;
    }
    scores.utf8 = IsUtf8Text(bytes, looked);
}

Detection DecideCodePage(const DetectionModel& model, const PageScores& scores)
{
    // The lowest cost wins; a tie goes to the lower index, so never to
    // Macintosh Cyrillic.
    int best = 0;
    for (int page = 1; page < CodePageCount; ++page) {
        if (scores.cost[page] < scores.cost[best])
            best = page;
    }
    if (best == CodePageMac && !scores.macDiffersFromCp1251)
        best = CodePageCp1251;
    else if (best == CodePageMac && !scores.macDiffersFromCp866)
        best = CodePageCp866;

    const unsigned letters = scores.letters[best];
    const bool binary = scores.controls * 64 > scores.looked;
    if (scores.utf8 || binary || letters < static_cast<unsigned>(model.minimumLetters) ||
        scores.cost[best] > letters * static_cast<unsigned>(model.highestMeanLetterCost))
        return Detection{NoDecision, 0};

    // The probability of each reading, from how far its cost lies above the
    // best one's; a reading of the same characters is as right as the best.
    const double scale = model.confidenceScale / 1000.0 / 8.0;
    double all = 0, right = 0;
    for (int page = 0; page < CodePageCount; ++page) {
        const double lead = static_cast<double>(scores.cost[page]) - static_cast<double>(scores.cost[best]);
        const double weight = std::exp(-scale * (lead > 0 ? lead : 0));
        all += weight;
        const bool twin = page == CodePageMac && ((best == CodePageCp1251 && !scores.macDiffersFromCp1251) ||
                                                  (best == CodePageCp866 && !scores.macDiffersFromCp866));
        if (page == best || twin)
            right += weight;
    }
    const int confidence = static_cast<int>(std::floor(100.0 * right / all + 0.5));
    return Detection{best, confidence > 100 ? 100 : confidence};
}

Detection DetectCodePage(const unsigned char* bytes, unsigned count)
{
    PageScores scores;
    ScoreCodePages(RussianModel, bytes, count, scores);
    return DecideCodePage(RussianModel, scores);
}
