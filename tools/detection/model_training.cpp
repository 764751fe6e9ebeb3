#include "model_training.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// What a non-letter costs beyond its symbol, in eighths of a nat. The
// corpus was typed with ASCII punctuation only, so these are set, not
// counted: the quotes and dashes of Russian typography are as common as
// ASCII ones in text from word processors, the other Cyrillic languages'
// letters turn up in Russian text now and then, and the rest (box drawing,
// symbols, the letters of Serbian and Macedonian) hardly ever.
const int TypographyCost = 8;
const int LesserTypographyCost = 24;
const int SymbolCost = 40;
const int NeighbourLetterCost = 56;
const int RareCost = 88;

unsigned char CostOf(double probability)
{
    const double cost = std::floor(-std::log(probability) * 8 + 0.5);
    return static_cast<unsigned char>(std::min(255.0, std::max(0.0, cost)));
}

} // namespace

int CodeOfCharacter(char32_t c)
{
    if (c >= 0x410 && c <= 0x42F)
        return Upper + static_cast<int>(c - 0x410);
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<int>(c - 0x430);
    if (c == 0x401)
        return Upper + 32;
    if (c == 0x451)
        return 32;
    switch (c) {
    case 0x00AB: case 0x201E: case 0x201A:  // « „ ‚
        return OpenQuote;
    case 0x00BB: case 0x201D: case 0x2019:  // » ” ’
        return CloseQuote;
    case '"': case '\'': case 0x201C: case 0x2018:  // “ ‘
        return Quote;
    case '-': case 0x2013: case 0x2014:  // - – —
        return Dash;
    case '.': case '!': case '?':
        return SentenceEnd;
    case '\n': case '\r':
        return LineEnd;
    }
    if (c >= 0x80)
        return Mark;
    // Tab, form feed, a DOS end of file and an escape for colours are at
    // home in text; the other control bytes are not.
    const bool textControl = c == '\t' || c == '\v' || c == '\f' || c == 0x1A || c == 0x1B;
    if ((c < 0x20 && !textControl) || c == 0x7F)
        return Control;
    const bool alphanumeric = (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    return c <= ' ' || alphanumeric ? Space : Mark;
}

int MarkCostOf(char32_t c)
{
    if (c < 0x80 || IsLetterCode(CodeOfCharacter(c)))
        return 0;
    switch (c) {
    case 0x00AB: case 0x00BB: case 0x201E: case 0x201C: case 0x201D:  // « » „ “ ”
    case 0x2013: case 0x2014:  // – —
        return TypographyCost;
    case 0x2018: case 0x2019: case 0x201A:  // ‘ ’ ‚
    case 0x2026: case 0x2116: case 0x00A0:  // … № no-break space
        return LesserTypographyCost;
    case 0x00B0: case 0x00A7: case 0x00A9: case 0x00B7: case 0x2022:  // ° § © · •
        return SymbolCost;
    case 0x0406: case 0x0456: case 0x0407: case 0x0457:  // Іі Її
    case 0x0404: case 0x0454: case 0x0490: case 0x0491:  // Єє Ґґ
    case 0x040E: case 0x045E:  // Ўў
        return NeighbourLetterCost;
    default:
        return RareCost;
    }
}

void CountStatistics(const std::vector<Text>& texts, DetectionModel& model)
{
    std::vector<double> pairs(SymbolCount * SymbolCount, 0.0);
    double cases[CaseStateCount][LetterCount][2] = {};
    const auto count = [&](const ReadingState& state) {
        if (state.from >= 0)
            pairs[state.from * SymbolCount + state.to] += 1;
        if (state.caseBefore >= 0)
            cases[state.caseBefore][state.to][state.capital] += 1;
    };
    for (const Text& text : texts) {
        ReadingState state;
        for (char32_t c : text) {
            Advance(state, CodeOfCharacter(c));
            count(state);
        }
        Finish(state);
        count(state);
    }

    // Half a count more for every pair, so that none is impossible.
    const double extra = 0.5;
    for (int previous = 0; previous < SymbolCount; ++previous) {
        double total = 0;
        for (int next = 0; next < SymbolCount; ++next)
            total += pairs[previous * SymbolCount + next];
        const int possible = previous == Space ? SymbolCount - 1 : SymbolCount;
        for (int next = 0; next < SymbolCount; ++next) {
            const double count = pairs[previous * SymbolCount + next] + extra;
            model.pairCost[previous][next] = previous == Space && next == Space
                ? 0 : CostOf(count / (total + extra * possible));
        }
    }
    for (int state = 0; state < CaseStateCount; ++state) {
        for (int letter = 0; letter < LetterCount; ++letter) {
            const double* count = cases[state][letter];
            for (int capital = 0; capital < 2; ++capital)
                model.caseCost[state][letter][capital] = CostOf((count[capital] + extra) / (count[0] + count[1] + 2 * extra));
        }
    }

    for (int page = 0; page < CodePageCount; ++page) {
        const std::array<char32_t, 256> decoding = DecodingOf(page);
        for (int byte = 0; byte < 256; ++byte) {
            const char32_t c = decoding[byte];
            const bool none = c == 0xFFFD;
            model.reading[page][byte] = static_cast<unsigned char>(none ? Mark : CodeOfCharacter(c));
            if (byte >= 0x80)
                model.markCost[page][byte - 0x80] = static_cast<unsigned char>(none ? RareCost : MarkCostOf(c));
        }
    }
}

std::vector<ScoredSample> ScoreSamples(const DetectionModel& model, const std::vector<Text>& shortPieces,
                                       const std::vector<Text>& longPieces)
{
    std::array<char32_t, 256> decodings[CodePageCount];
    for (int page = 0; page < CodePageCount; ++page)
        decodings[page] = DecodingOf(page);

    std::vector<ScoredSample> samples;
    for (int lengthClass = 0; lengthClass < 2; ++lengthClass) {
        const std::vector<Text>& pieces = lengthClass == 0 ? shortPieces : longPieces;
        for (size_t piece = 0; piece < pieces.size(); ++piece) {
            for (int page = 0; page < CodePageCount; ++page) {
                ScoredSample sample;
                sample.page = page;
                sample.lengthClass = lengthClass;
                sample.piece = piece;
                const Bytes bytes = Encode(pieces[piece], page);
                for (int other = 0; other < CodePageCount; ++other)
                    sample.sameAs[other] = ReadTheSame(bytes, decodings[page], decodings[other]);
                ScoreCodePages(model, bytes.data(), static_cast<unsigned>(bytes.size()), sample.scores);
                samples.push_back(sample);
            }
        }
    }
    return samples;
}

void Calibrate(const std::vector<ScoredSample>& samples, DetectionModel& model)
{
    // Temperature scaling: the softmax scale with the least log loss, where
    // the probability of being right is that of every page reading the
    // bytes as the right text.
    double bestLoss = 1e300;
    for (int scale = 10; scale <= 2000; scale += 5) {
        double loss = 0;
        for (const ScoredSample& sample : samples) {
            const unsigned* cost = sample.scores.cost;
            const unsigned lowest = *std::min_element(cost, cost + CodePageCount);
            double all = 0, right = 0;
            for (int page = 0; page < CodePageCount; ++page) {
                const double weight = std::exp(-scale / 8000.0 * (cost[page] - lowest));
                all += weight;
                right += sample.sameAs[page] ? weight : 0;
            }
            loss -= std::log(std::max(right / all, 1e-300));
        }
        if (loss < bestLoss) {
            bestLoss = loss;
            model.confidenceScale = scale;
        }
    }

    // The highest mean cost of a letter that Russian text reached in its own
    // code page, with a margin.
    double highest = 0;
    for (const ScoredSample& sample : samples) {
        const unsigned letters = sample.scores.letters[sample.page];
        if (letters > 0)
            highest = std::max(highest, static_cast<double>(sample.scores.cost[sample.page]) / letters);
    }
    model.minimumLetters = 3;
    model.highestMeanLetterCost = static_cast<int>(std::ceil(highest * 1.25));
    std::printf("confidence scale %.3f (mean log loss %.5f), highest mean letter cost %.2f nats\n",
                model.confidenceScale / 1000.0, bestLoss / samples.size(), highest / 8);
}
