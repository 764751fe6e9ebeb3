#include "model_training.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

const char* const LengthNames[LengthClassCount] = {"5-15", "16-120", "200-1000"};

namespace {

unsigned char CostOf(double probability)
{
    const double cost = std::floor(-std::log(probability) * 8 + 0.5);
    return static_cast<unsigned char>(std::min(255.0, std::max(0.0, cost)));
}

// The letters each language writes; every language writes every symbol.
const char32_t* const Alphabets[LanguageCount] = {
    U"абвгдеёжзийклмнопрстуфхцчшщъыьэюя",
    U"абвгґдеєжзиіїйклмнопрстуфхцчшщьюя",
    U"абвгдеёжзійклмнопрстуўфхцчшыьэюя",
    U"абвгдежзийклмнопрстуфхцчшщъьюя",
    U"абвгдђежзијклљмнњопрстћуфхцчџш",
    U"абвгдѓежзѕијклљмнњопрстќуфхцчџш",
};

bool Writes(int language, int symbol)
{
    if (symbol >= LetterCount)
        return true;
    for (const char32_t* c = Alphabets[language]; *c; ++c) {
        if (DetectionTokenOf(*c) == symbol)
            return true;
    }
    return false;
}

struct Counts {
    std::vector<double> pairs = std::vector<double>(LanguageCount * SymbolStride * SymbolStride, 0.0);
    double cases[CaseStateCount][LetterCount][2] = {};
};

void CountText(const Text& text, int language, double weight, Counts& counts)
{
    int previous = SymbolSpace, state = AfterSentenceEnd;
    const auto pair = [&](int next) {
        if (!(previous == SymbolSpace && next == SymbolSpace))
            counts.pairs[(language * SymbolStride + previous) * SymbolStride + next] += weight;
        previous = next;
    };
    for (char32_t c : text) {
        const int token = DetectionTokenOf(c);
        if (IsLetterToken(token))
            counts.cases[state][token & (CapitalToken - 1)][token >= CapitalToken] += weight;
        state = NextCaseState(state, token);
        pair(SymbolOfToken(token));
    }
    pair(SymbolSpace);
}

} // namespace

void CountStatistics(const std::vector<LanguageText>& languages, DetectionModel& model)
{
    Counts counts;
    for (int language = 0; language < LanguageCount; ++language) {
        const LanguageText& text = languages[language];
        // Prose and the sentences of words weigh alike in all.
        const double proseWeight = text.proseCharacters == 0 ? 0 : 1.0;
        const double sentenceWeight = text.proseCharacters == 0 || text.sentenceCharacters == 0
            ? 1.0 : std::min(1.0, static_cast<double>(text.proseCharacters) / text.sentenceCharacters);
        for (size_t n = 0; n < text.prose.size(); ++n)
            CountText(n % 2 ? WithTypography(text.prose[n], language) : text.prose[n], language, proseWeight, counts);
        for (size_t n = 0; n < text.sentences.size(); ++n)
            CountText(n % 2 ? WithTypography(text.sentences[n], language) : text.sentences[n], language,
                      sentenceWeight, counts);
    }

    // Each language's pairs, drawn toward those of all six where it has few
    // counts, so that a language with little text does not read everything
    // as well as it reads itself; letters that a language does not write
    // keep the little that their own counts give them.
    std::vector<double> pool(SymbolStride * SymbolStride, 0.0);
    for (int language = 0; language < LanguageCount; ++language) {
        for (int previous = 0; previous < SymbolCount; ++previous) {
            const double* row = &counts.pairs[(language * SymbolStride + previous) * SymbolStride];
            double total = 0;
            for (int next = 0; next < SymbolCount; ++next)
                total += row[next];
            for (int next = 0; next < SymbolCount && total > 0; ++next)
                pool[previous * SymbolStride + next] += row[next] / total;
        }
    }
    // What follows punctuation hardly depends on the language, while the
    // languages' texts punctuate by their kind (manual pages bracket, prose
    // quotes): those rows are drawn hard toward all six.
    const double letterPull = 500, punctuationPull = 20000, floor = 1e-6;
    for (int language = 0; language < LanguageCount; ++language) {
        for (int previous = 0; previous < SymbolCount; ++previous) {
            const bool punctuation = previous > SymbolSpace && previous != SymbolHyphen && previous != SymbolApostrophe;
            const double pull = punctuation ? punctuationPull : letterPull;
            const double* row = &counts.pairs[(language * SymbolStride + previous) * SymbolStride];
            double total = 0, pooled = 0;
            for (int next = 0; next < SymbolCount; ++next) {
                total += row[next];
                pooled += Writes(language, next) ? pool[previous * SymbolStride + next] : 0;
            }
            for (int next = 0; next < SymbolCount; ++next) {
                const double prior = Writes(language, next) && pooled > 0 ? pool[previous * SymbolStride + next] / pooled : 0;
                const double p = (row[next] + pull * std::max(prior, floor)) / (total + pull * (1 + floor * SymbolCount));
                model.pairCost[previous * SymbolStride + next][language] =
                    previous == SymbolSpace && next == SymbolSpace ? 0 : CostOf(p);
            }
        }
    }

    // The corpora quote words; text at large quotes numbers, names in
    // Latin letters and format strings as well: a quote beside any
    // non-letter costs no more than a rare pair does.
    const auto isQuote = [](int symbol) {
        return symbol == SymbolQuote || symbol == SymbolOpenQuote || symbol == SymbolCloseQuote;
    };
    const unsigned char quoteBeside = 48;
    for (int previous = LetterCount; previous < SymbolCount; ++previous) {
        for (int next = LetterCount; next < SymbolCount; ++next) {
            if ((isQuote(previous) || isQuote(next)) && previous != SymbolRare && next != SymbolRare) {
                for (int language = 0; language < LanguageCount; ++language) {
                    unsigned char& cost = model.pairCost[previous * SymbolStride + next][language];
                    cost = std::min(cost, quoteBeside);
                }
            }
        }
    }

    // The case of a letter: its own counts, drawn toward those of all
    // letters in the same state where it has few.
    const double extra = 0.5, casePull = 20;
    for (int state = 0; state < CaseStateCount; ++state) {
        double small = 0, capital = 0;
        for (int letter = 0; letter < LetterCount; ++letter) {
            small += counts.cases[state][letter][0];
            capital += counts.cases[state][letter][1];
        }
        const double rate = (capital + extra) / (small + capital + 2 * extra);
        for (int letter = 0; letter < LetterCount; ++letter) {
            const double* count = counts.cases[state][letter];
            const double p = (count[1] + casePull * rate) / (count[0] + count[1] + casePull);
            model.caseCost[state][letter] = CostOf(1 - p);
            model.caseCost[state][CapitalToken + letter] = CostOf(p);
        }
    }
    // The corpora are prose, where words in capitals and capitals inside
    // words (кБ, МакДональдс, ЮНЕСКОвский) are rarer than in the headings,
    // units and names of text at large: those cost no more than a word
    // in capitals, or a rare symbol, does there.
    const unsigned char capitalsWord = 24, mixedCase = 48;
    for (int letter = 0; letter < LetterCount; ++letter) {
        unsigned char& second = model.caseCost[AfterFirstCapital][CapitalToken + letter];
        unsigned char& secondInCapitals = model.caseCost[FirstCapitalAfterCapitals][CapitalToken + letter];
        secondInCapitals = std::min(secondInCapitals, capitalsWord);
        unsigned char& afterSmall = model.caseCost[InSmall][CapitalToken + letter];
        unsigned char& afterCapitals = model.caseCost[InCapitals][letter];
        second = std::min(second, capitalsWord);
        afterSmall = std::min(afterSmall, mixedCase);
        afterCapitals = std::min(afterCapitals, mixedCase);
    }

    for (int page = 0; page < CodePageCount; ++page) {
        const std::array<char32_t, 256> decoding = DecodingOf(page);
        for (int byte = 0; byte < 256; ++byte) {
            model.token[page][byte] = static_cast<unsigned char>(DetectionTokenOf(decoding[byte]));
            model.byteCost[page][byte] = static_cast<unsigned char>(byte < 0x80 ? 0 : DetectionCostOf(decoding[byte]));
        }
    }
}

std::vector<Sample> MakeSamples(const std::vector<LanguageText>& languages, const size_t (&perClass)[LengthClassCount],
                                unsigned seed)
{
    const size_t bounds[LengthClassCount][2] = {{5, 15}, {16, 120}, {200, 1000}};
    std::array<char32_t, 256> decodings[CodePageCount];
    for (int page = 0; page < CodePageCount; ++page)
        decodings[page] = DecodingOf(page);

    std::vector<Sample> samples;
    for (int language = 0; language < LanguageCount; ++language) {
        // Prose first, then the sentences of words, as much as each has.
        std::vector<Text> texts = languages[language].prose;
        const std::vector<Text>& sentences = languages[language].sentences;
        for (int lengthClass = 0; lengthClass < LengthClassCount; ++lengthClass) {
            std::vector<Text> pieces = CutPieces(texts, bounds[lengthClass][0], bounds[lengthClass][1],
                                                 seed + 10 * language + lengthClass);
            const std::vector<Text> more = CutPieces(sentences, bounds[lengthClass][0], bounds[lengthClass][1],
                                                     seed + 10 * language + lengthClass + 5);
            // Half from each where both have enough.
            const size_t wanted = perClass[lengthClass];
            const size_t fromProse = std::min(pieces.size(), more.size() >= wanted / 2 ? wanted / 2 : wanted - more.size());
            const size_t step = pieces.empty() ? 1 : std::max<size_t>(1, pieces.size() / std::max<size_t>(1, fromProse));
            std::vector<Text> chosen;
            for (size_t n = 0; n < pieces.size() && chosen.size() < fromProse; n += step)
                chosen.push_back(pieces[n]);
            const size_t fromWords = std::min(more.size(), wanted - chosen.size());
            const size_t wordStep = std::max<size_t>(1, more.size() / std::max<size_t>(1, fromWords));
            for (size_t n = 0; n < more.size() && chosen.size() < wanted; n += wordStep)
                chosen.push_back(more[n]);

            for (size_t n = 0; n < chosen.size(); ++n) {
                const Text text = n % 2 ? WithTypography(chosen[n], language) : chosen[n];
                for (int page = 0; page < CodePageCount; ++page) {
                    Sample sample;
                    sample.language = language;
                    sample.lengthClass = lengthClass;
                    sample.page = page;
                    sample.text = text;
                    if (!Encode(text, page, sample.bytes))
                        continue;
                    for (int other = 0; other < CodePageCount; ++other)
                        sample.sameAs[other] = ReadTheSame(sample.bytes, decodings[page], decodings[other]);
                    samples.push_back(sample);
                }
            }
        }
    }
    return samples;
}

void Calibrate(const std::vector<Sample>& samples, DetectionModel& model)
{
    // Set, not counted: how much rarer text in each page is than in cp1251,
    // the page of nearly all text on Windows. A text that reads almost as
    // well in cp1251 as in Macintosh Cyrillic is far likelier to be cp1251.
    const unsigned char pageCost[CodePageCount] = {2, 0, 2, 8, 6};
    for (int page = 0; page < CodePageCount; ++page)
        model.pageCost[page] = pageCost[page];

    // The highest mean cost of a letter that text reached in its own code
    // page, with a margin.
    double highest = 0;
    std::vector<PageScores> scores(samples.size());
    for (size_t n = 0; n < samples.size(); ++n) {
        const Sample& sample = samples[n];
        ScoreCodePages(model, sample.bytes.data(), static_cast<unsigned>(sample.bytes.size()), scores[n]);
        const TextScore& own = scores[n].page[sample.page];
        if (own.letters > 0)
            highest = std::max(highest, static_cast<double>(BestLanguageCost(own)) / own.letters);
    }
    model.minimumLetters = 3;
    model.highestMeanLetterCost = static_cast<int>(std::ceil(highest * 1.25));

    // The band and the margin's bucket come out as the confidence while
    // the table numbers its entries: four bands of 64 buckets, 0..255.
    const int buckets = static_cast<int>(sizeof model.confidence[0]);
    for (int band = 0; band < EvidenceBandCount; ++band) {
        for (int bucket = 0; bucket < buckets; ++bucket)
            model.confidence[band][bucket] = static_cast<unsigned char>(band * buckets + bucket);
    }
    std::vector<double> right(EvidenceBandCount * buckets, 0), total(EvidenceBandCount * buckets, 0);
    for (size_t n = 0; n < samples.size(); ++n) {
        const Detection detection = DecideCodePage(model, scores[n]);
        if (detection.page < 0)
            continue;
        total[detection.confidence] += 1;
        right[detection.confidence] += samples[n].sameAs[detection.page];
    }
    for (int band = 0; band < EvidenceBandCount; ++band) {
        // Pooled adjacent violators: the rate rises with the margin.
        std::vector<double> rate(buckets), weight(buckets);
        std::vector<int> first(buckets);
        int blocks = 0;
        for (int bucket = 0; bucket < buckets; ++bucket) {
            const int at = band * buckets + bucket;
            if (total[at] == 0)
                continue;
            rate[blocks] = right[at] / total[at];
            weight[blocks] = total[at];
            first[blocks] = bucket;
            ++blocks;
            while (blocks > 1 && rate[blocks - 2] > rate[blocks - 1]) {
                const double sum = weight[blocks - 2] + weight[blocks - 1];
                rate[blocks - 2] = (rate[blocks - 2] * weight[blocks - 2] + rate[blocks - 1] * weight[blocks - 1]) / sum;
                weight[blocks - 2] = sum;
                --blocks;
            }
        }
        for (int bucket = 0; blocks == 0 && bucket < buckets; ++bucket)
            model.confidence[band][bucket] = 50;  // never seen: no better than a guess
        for (int block = 0; block < blocks; ++block) {
            const int end = block + 1 < blocks ? first[block + 1] : buckets;
            for (int bucket = block == 0 ? 0 : first[block]; bucket < end; ++bucket)
                model.confidence[band][bucket] = static_cast<unsigned char>(std::floor(100 * rate[block]));
        }
    }
    std::printf("highest mean letter cost %.2f nats; confidence by evidence and margin in quarter nats:\n", highest / 8);
    for (int band = 0; band < EvidenceBandCount; ++band) {
        for (int bucket = 0; bucket < buckets; ++bucket)
            std::printf(" %d", model.confidence[band][bucket]);
        std::printf("\n");
    }
}
