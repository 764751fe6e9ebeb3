#include "code_page_detection.h"

#include "detection_model.h"
#include "detection_step.h"
#include "text_encoding_detection.h"

using namespace detection_step;

namespace {

// Enough bytes from 0x80 up to stop reading at the window's end.
const unsigned EnoughHigh = 256;

// Reads bytes in all five pages, the readings going on from where they
// were, and counts each byte value.
void ReadBytes(const DetectionModel& model, TextReading* readings, const unsigned char* bytes, unsigned count,
               unsigned* histogram)
{
    for (unsigned at = 0; at < count;) {
        const unsigned end = count - at < LaneSteps ? count : at + LaneSteps;
        for (; at < end; ++at) {
            const unsigned char byte = bytes[at];
            ++histogram[byte];
            for (int page = 0; page < CodePageCount; ++page)
                Step(model, readings[page], model.token[page][byte]);
        }
        for (int page = 0; page < CodePageCount; ++page)
            EmptyLanes(readings[page]);
    }
}

} // namespace

void FindDetectionRegion(const unsigned char* bytes, unsigned count, unsigned& start, unsigned& end)
{
    // From the first byte from 0x80 up, with a little of what precedes it,
    // when that byte lies beyond the window.
    const unsigned reach = count < DetectionReach ? count : DetectionReach;
    unsigned first = 0;
    while (first < reach && bytes[first] < 0x80)
        ++first;
    const unsigned context = 256;
    start = first == reach || first + context <= DetectionWindow ? 0 : first - context;
    end = count - start < DetectionWindow ? count : start + DetectionWindow;
    unsigned high = 0;
    for (unsigned at = start; at < end; ++at)
        high += bytes[at] >= 0x80;
    const unsigned limit = count - start < DetectionReach ? count : start + DetectionReach;
    while (high < EnoughHigh && end < limit) {
        const unsigned next = limit - end < DetectionWindow ? limit : end + DetectionWindow;
        for (unsigned at = end; at < next; ++at)
            high += bytes[at] >= 0x80;
        end = next;
    }
}

void ScoreCodePages(const DetectionModel& model, const unsigned char* bytes, unsigned count, PageScores& scores)
{
    scores = PageScores{};
    unsigned start = 0, end = 0;
    FindDetectionRegion(bytes, count, start, end);
    unsigned histogram[256] = {};
    TextReading readings[CodePageCount];
    for (TextReading& reading : readings)
        BeginText(reading);
    ReadBytes(model, readings, bytes + start, end - start, histogram);

    // A text that ends here ends its last word; one cut short may not.
    for (int page = 0; page < CodePageCount; ++page) {
        if (end == count)
            Step(model, readings[page], TokenOfSymbol(SymbolSpace));
        EmptyLanes(readings[page]);
        TextScore& score = readings[page].score;
        for (int byte = 0; byte < 256; ++byte) {
            if (histogram[byte] == 0)
                continue;
            score.shared += histogram[byte] * model.byteCost[page][byte];
            score.letters += IsLetterToken(model.token[page][byte]) ? histogram[byte] : 0;
            score.characters += histogram[byte];
        }
        scores.page[page] = score;
    }
    for (int byte = 0; byte < 256; ++byte) {
        if (histogram[byte] == 0)
            continue;
        if (byte >= 0x80) {
            scores.high += histogram[byte];
            const int mac = model.token[CodePageMac][byte];
            const bool letterInMac = IsLetterToken(mac);
            scores.macDiffersFromCp1251 |= !letterInMac || mac != model.token[CodePageCp1251][byte];
            scores.macDiffersFromCp866 |= !letterInMac || mac != model.token[CodePageCp866][byte];
        } else if (model.token[0][byte] == ControlToken) {
            scores.controls += histogram[byte];
        }
    }
    scores.start = start;
    scores.looked = end - start;
}

int ConfidenceOfMargin(const DetectionModel& model, uint32_t margin)
{
    const uint32_t last = sizeof model.confidence - 1;
    return model.confidence[margin / 2 < last ? margin / 2 : last];
}

Detection DecideCodePage(const DetectionModel& model, const PageScores& scores)
{
    uint32_t cost[CodePageCount];
    for (int page = 0; page < CodePageCount; ++page)
        cost[page] = BestLanguageCost(scores.page[page]);

    // The lowest cost wins; a tie goes to the lower index, so never to
    // Macintosh Cyrillic.
    int best = 0;
    for (int page = 1; page < CodePageCount; ++page) {
        if (cost[page] < cost[best])
            best = page;
    }
    if (best == CodePageMac && !scores.macDiffersFromCp1251)
        best = CodePageCp1251;
    else if (best == CodePageMac && !scores.macDiffersFromCp866)
        best = CodePageCp866;

    const uint32_t letters = scores.page[best].letters;
    const bool binary = scores.controls * 64 > scores.looked;
    if (binary || letters < static_cast<uint32_t>(model.minimumLetters) ||
        cost[best] > letters * static_cast<uint32_t>(model.highestMeanLetterCost))
        return Detection{NoDecision, 0};

    // The margin over the best reading of other characters: a page that
    // reads the bytes as the same text is as right as the best.
    uint32_t margin = 0xFFFFFFFF;
    for (int page = 0; page < CodePageCount; ++page) {
        const bool twin = page == best ||
            (page == CodePageMac && ((best == CodePageCp1251 && !scores.macDiffersFromCp1251) ||
                                     (best == CodePageCp866 && !scores.macDiffersFromCp866)));
        if (!twin && cost[page] - cost[best] < margin)
            margin = cost[page] - cost[best];
    }
    return Detection{best, ConfidenceOfMargin(model, margin)};
}

Detection DetectCodePage(const unsigned char* bytes, unsigned count)
{
    const TextEncoding found = DetectTextEncoding(bytes, count);
    if (found.encoding < 0 || found.encoding >= CodePageCount)
        return Detection{NoDecision, 0};
    return Detection{found.encoding, found.confidence};
}
