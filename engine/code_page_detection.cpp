#include "code_page_detection.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "detection_model.h"
#include "detection_step.h"

using namespace detection_step;

namespace {

// Enough bytes from 0x80 up to stop reading at the window's end.
const unsigned EnoughHigh = 256;

// Sixteen-bit sums of the pair costs in each language, emptied into 32-bit
// totals at least every LaneSteps steps.
#ifdef __SSE2__
struct Lanes {
    __m128i sums = _mm_setzero_si128();
    void Add(const unsigned char* costs)
    {
        sums = _mm_add_epi16(sums, _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(costs)),
                                                     _mm_setzero_si128()));
    }
    void Empty(uint32_t* totals)
    {
        alignas(16) uint16_t lanes[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
        for (int language = 0; language < LanguageCount; ++language)
            totals[language] += lanes[language];
        sums = _mm_setzero_si128();
    }
};
#else
struct Lanes {
    uint64_t even = 0, odd = 0;
    void Add(const unsigned char* costs)
    {
        const uint64_t lanes = LoadLanes(costs);
        even += lanes & EvenBytes;
        odd += (lanes >> 8) & EvenBytes;
    }
    void Empty(uint32_t* totals)
    {
        for (int language = 0; language < LanguageCount; ++language)
            totals[language] += static_cast<uint32_t>((language % 2 ? odd : even) >> (16 * (language / 2))) & 0xFFFF;
        even = odd = 0;
    }
};
#endif

// Reads bytes in every reading, the readings going on from where they
// were, and counts each byte value; tokens[reading] is the token of each
// byte in it. The same steps as Step, with the tables each step needs
// folded into one load each.
template <int Readings>
void ReadBytes(const DetectionModel& model, const unsigned char (*tokens)[256], TextReading* readings,
               const unsigned char* bytes, unsigned count, unsigned* histogram)
{
    // [reading][byte]: the token, its symbol, and the symbol's row of pairs;
    // [state row + token]: the case's cost and the next state's row.
    uint32_t reading[Readings][256];
    for (int page = 0; page < Readings; ++page) {
        for (int byte = 0; byte < 256; ++byte) {
            const uint32_t token = tokens[page][byte], symbol = StepTables.symbol[token];
            reading[page][byte] = token | symbol << 8 | symbol * SymbolStride << 16;
        }
    }
    const int StateRow = 256;
    uint32_t caseStep[CaseStateCount * StateRow];
    for (int state = 0; state < CaseStateCount; ++state) {
        for (int token = 0; token < TokenCount; ++token)
            caseStep[state * StateRow + token] = model.caseCost[state][token] | StepTables.nextCase[state][token] * StateRow << 8;
    }

    uint32_t row[Readings], state[Readings], shared[Readings];
    Lanes lanes[Readings];
    for (int page = 0; page < Readings; ++page) {
        row[page] = static_cast<uint32_t>(readings[page].previous * SymbolStride);
        state[page] = static_cast<uint32_t>(readings[page].caseState * StateRow);
        shared[page] = 0;
    }
    for (unsigned at = 0; at < count;) {
        const unsigned end = count - at < LaneSteps ? count : at + LaneSteps;
        for (; at < end; ++at) {
            const unsigned char byte = bytes[at];
            ++histogram[byte];
#pragma GCC unroll 8
            for (int page = 0; page < Readings; ++page) {
                const uint32_t both = reading[page][byte];
                lanes[page].Add(model.pairCost[row[page] + (both >> 8 & 0xFF)]);
                const uint32_t step = caseStep[state[page] + (both & 0xFF)];
                shared[page] += step & 0xFF;
                state[page] = step >> 8;
                row[page] = both >> 16;
            }
        }
        for (int page = 0; page < Readings; ++page)
            lanes[page].Empty(readings[page].score.language);
    }
    for (int page = 0; page < Readings; ++page) {
        readings[page].previous = static_cast<int>(row[page] / SymbolStride);
        readings[page].caseState = static_cast<int>(state[page] / StateRow);
        readings[page].score.shared += shared[page];
    }
}

// What a text's name for its own encoding weighs for that reading: a
// little, since a page may be saved in another encoding than its markup
// says, never enough to read garbage as text.
const uint32_t DeclaredWeight = 16;

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
    // The readings, and last the ASCII frame: every byte from 0x80 up a space.
    const int Readings = ReadingCount + 1;
    unsigned char tokens[Readings][256];
    for (int page = 0; page < ReadingCount; ++page) {
        for (int byte = 0; byte < 256; ++byte)
            tokens[page][byte] = model.token[page][byte];
    }
    for (int byte = 0; byte < 256; ++byte)
        tokens[ReadingCount][byte] = byte < 0x80 ? model.token[0][byte] : static_cast<unsigned char>(TokenOfSymbol(SymbolSpace));
    TextReading readings[Readings];
    for (TextReading& reading : readings)
        BeginText(reading);
    ReadBytes<Readings>(model, tokens, readings, bytes + start, end - start, histogram);

    // A text that ends here ends its last word; one cut short may not.
    for (int page = 0; page < Readings; ++page) {
        if (end == count)
            Step(model, readings[page], TokenOfSymbol(SymbolSpace));
        EmptyLanes(readings[page]);
    }
    scores.ascii = BestLanguageCost(readings[ReadingCount].score);
    for (int page = 0; page < ReadingCount; ++page) {
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
    for (int page = 0; page < ReadingCount; ++page)
        scores.twins[page] = (1 << ReadingCount) - 1;
    for (int byte = 0; byte < 256; ++byte) {
        if (histogram[byte] == 0)
            continue;
        if (byte >= 0x80) {
            scores.high += histogram[byte];
            for (int page = 0; page < ReadingCount; ++page) {
                const char32_t c = ReadingCharacter(page, static_cast<unsigned>(byte));
                for (int other = 0; other < ReadingCount; ++other) {
                    if (other != page && c != ReadingCharacter(other, static_cast<unsigned>(byte)))
                        scores.twins[page] &= static_cast<unsigned char>(~(1 << other));
                }
            }
        } else if (model.token[0][byte] == ControlToken) {
            scores.controls += histogram[byte];
        }
    }
    scores.start = start;
    scores.looked = end - start;
    for (int byte = 0; byte < 256; ++byte)
        scores.histogram[byte] = histogram[byte];
}

int ConfidenceOfMargin(const DetectionModel& model, uint32_t margin, uint32_t differing, int kind)
{
    const unsigned char* byMargin = model.confidence[kind][EvidenceBand(differing)];
    const uint32_t last = sizeof model.confidence[0][0] - 1;
    return byMargin[margin / 2 < last ? margin / 2 : last];
}

Detection DecideCodePage(const DetectionModel& model, const PageScores& scores, int declared, DecisionDetail* detail)
{
    uint32_t cost[ReadingCount];
    for (int page = 0; page < ReadingCount; ++page) {
        cost[page] = BestLanguageCost(scores.page[page]) + model.pageCost[page];
        if (page == declared)
            cost[page] -= cost[page] < DeclaredWeight ? cost[page] : DeclaredWeight;
    }

    // The lowest cost wins. Pages that read the text alike cost alike, and
    // the tie goes to the lower index: cp1251 or cp866 before Macintosh
    // Cyrillic, cp866 before ISO-8859-5, KOI8-R before KOI8-U.
    int best = 0;
    for (int page = 1; page < ReadingCount; ++page) {
        if (cost[page] < cost[best])
            best = page;
    }

    // Text is what reads as text: the bytes from 0x80 up of the best
    // reading cost no more than text's do, beyond the ASCII around them.
    const TextScore& score = scores.page[best];
    const uint32_t own = BestLanguageCost(score);
    const uint32_t beyondAscii = own > scores.ascii ? own - scores.ascii : 0;
    const bool binary = scores.controls * 64 > scores.looked;
    if (binary || score.letters < static_cast<uint32_t>(model.minimumLetters) ||
        beyondAscii > scores.high * static_cast<uint32_t>(model.highestMeanByteCost))
        return Detection{NoDecision, 0};

    // The margin over the best reading of other characters: a page that
    // reads the bytes as the same text is as right as the best.
    uint32_t margin = 0xFFFFFFFF;
    int runnerUp = best;
    for (int page = 0; page < ReadingCount; ++page) {
        const bool twin = (scores.twins[best] >> page & 1) != 0;
        if (!twin && cost[page] - cost[best] < margin) {
            margin = cost[page] - cost[best];
            runnerUp = page;
        }
    }
    if (runnerUp == best) {
        if (detail)
            *detail = DecisionDetail{best, margin, scores.high, PairOther};
        return Detection{best, ConfidenceOfMargin(model, margin, scores.high)};
    }
    // The confidence over the runner-up, and no more than over any other
    // reading: one a little further behind that differs from the best in
    // the case of a few letters may be as likely to be right.
    int capitals[ReadingCount];
    for (int page = 0; page < ReadingCount; ++page) {
        capitals[page] = 0;
        for (int byte = 0x80; byte < 256; ++byte) {
            const int token = model.token[page][byte];
            capitals[page] += IsLetterToken(token) && token >= CapitalToken ? static_cast<int>(scores.histogram[byte]) : 0;
        }
    }
    int confidence = 100;
    for (int page = 0; page < ReadingCount; ++page) {
        if ((scores.twins[best] >> page & 1) != 0)
            continue;
        // The bytes the two read as different characters, and of them those
        // that are a capital in one and a small letter in the other, and
        // those that are letters of the same case in both.
        uint32_t differing = 0, flips = 0, swaps = 0;
        for (int byte = 0x80; byte < 256; ++byte) {
            const uint32_t count = scores.histogram[byte];
            if (count == 0 || ReadingCharacter(best, static_cast<unsigned>(byte)) == ReadingCharacter(page, static_cast<unsigned>(byte)))
                continue;
            differing += count;
            const int token = model.token[best][byte], other = model.token[page][byte];
            if (IsLetterToken(token) && IsLetterToken(other)) {
                flips += (token >= CapitalToken) != (other >= CapitalToken) ? count : 0;
                swaps += (token >= CapitalToken) == (other >= CapitalToken) ? count : 0;
            }
        }
        // Where one of them is mostly in capitals, the other mostly the
        // same letters in small ones, their case says little.
        const bool inCapitals = 2 * static_cast<uint32_t>(capitals[best]) > score.letters ||
                                2 * static_cast<uint32_t>(capitals[page]) > scores.page[page].letters;
        const int kind = 2 * flips > differing && inCapitals ? PairCaseFlipped
                         : 2 * swaps > differing            ? PairLettersSwapped
                                                            : PairOther;
        const int over = ConfidenceOfMargin(model, cost[page] - cost[best], differing, kind);
        confidence = over < confidence ? over : confidence;
        if (page == runnerUp && detail)
            *detail = DecisionDetail{runnerUp, margin, differing, kind};
    }
    return Detection{best, confidence};
}
