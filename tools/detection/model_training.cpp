#include "model_training.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

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

// The share of text at large that is screens of box drawing.
const double ScreenShare = 0.01;

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

struct Random {
    unsigned long long state;
    explicit Random(unsigned seed) : state(seed * 2654435761ULL + 1) {}
    unsigned Next(unsigned bound)
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>((state >> 33) % bound);
    }
};

std::vector<Text> WordsOf(const std::vector<Text>& texts)
{
    std::vector<Text> words;
    for (const Text& text : texts) {
        Text word;
        for (char32_t c : text + U" ") {
            if (IsLetterToken(DetectionTokenOf(c))) {
                word += c;
            } else {
                if (!word.empty())
                    words.push_back(word);
                word.clear();
            }
        }
    }
    return words;
}

Text Padded(Text text, size_t width)
{
    text.resize(std::max(width, text.size()), U' ');
    return text;
}

// The box drawing of a frame: lines, sides, corners, joints.
struct Frame {
    char32_t line, side, topLeft, topRight, bottomLeft, bottomRight, left, right, down, up, cross;
};
const Frame Frames[2] = {
    {U'─', U'│', U'┌', U'┐', U'└', U'┘', U'├', U'┤', U'┬', U'┴', U'┼'},
    {U'═', U'║', U'╔', U'╗', U'╚', U'╝', U'╠', U'╣', U'╦', U'╩', U'╬'},
};

// Screens of the kinds DOS programs drew, made of a language's words:
// frames of single or double lines around lines of text, tables of words
// and numbers, menus with shadows, progress bars. What box drawing stands
// beside is counted from these.
std::vector<Text> MakeScreens(const LanguageText& text, size_t budget, unsigned seed)
{
    std::vector<Text> words = WordsOf(text.prose);
    const std::vector<Text> more = WordsOf(text.sentences);
    words.insert(words.end(), more.begin(), more.end());
    std::vector<Text> screens;
    if (words.empty())
        return screens;
    Random random(seed);
    size_t characters = 0, at = 0;
    const auto word = [&]() -> const Text& { return words[at++ % words.size()]; };
    const auto number = [&]() {
        const std::string digits = std::to_string(random.Next(100000));
        return Text(digits.begin(), digits.end());
    };
    while (characters < budget) {
        const Frame& frame = Frames[random.Next(2)];
        const unsigned kind = random.Next(4);
        std::vector<Text> lines;
        const bool touching = random.Next(8) == 0;  // text right against the frame
        const Text pad = touching ? U"" : U" ";
        if (kind == 0 || kind == 1) {  // a frame around lines, or a menu
            const size_t width = 10 + random.Next(50);
            std::vector<Text> inner;
            Text line;
            const unsigned count = 1 + random.Next(12);
            for (unsigned n = 0; inner.size() < count;) {
                Text next = kind == 1 && line.empty() ? Text(1, U'1' + n++ % 9) + U". " + word() : word();
                if (!line.empty() && line.size() + 1 + next.size() > width) {
                    inner.push_back(line);
                    line.clear();
                    if (kind == 1)
                        continue;
                }
                line += (line.empty() ? U"" : U" ") + next;
            }
            const Text rule(width + 2 * pad.size(), frame.line);
            const Text shadow = random.Next(2) ? Text(1, random.Next(2) ? U'▒' : U'█') : U"";
            lines.push_back(frame.topLeft + rule + frame.topRight);
            for (size_t n = 0; n < inner.size(); ++n) {
                lines.push_back(frame.side + pad + Padded(inner[n], width) + pad + frame.side + shadow);
                if (n == 0 && kind == 1 && random.Next(2))
                    lines.push_back(frame.left + rule + frame.right + shadow);
            }
            lines.push_back(frame.bottomLeft + rule + frame.bottomRight + shadow);
            if (!shadow.empty())
                lines.push_back(U" " + Text(rule.size() + 2, shadow[0]));
        } else if (kind == 2) {  // a table
            const unsigned columns = 2 + random.Next(4), rows = 1 + random.Next(10);
            std::vector<std::vector<Text>> cells(rows + 1);
            std::vector<size_t> widths(columns, 0);
            for (unsigned r = 0; r <= rows; ++r) {
                for (unsigned c = 0; c < columns; ++c) {
                    cells[r].push_back(r > 0 && random.Next(3) == 0 ? number() : word());
                    widths[c] = std::max(widths[c], cells[r][c].size());
                }
            }
            const auto rule = [&](char32_t left, char32_t middle, char32_t right) {
                Text out(1, left);
                for (unsigned c = 0; c < columns; ++c)
                    out += Text(widths[c] + 2 * pad.size(), frame.line) + (c + 1 < columns ? middle : right);
                return out;
            };
            lines.push_back(rule(frame.topLeft, frame.down, frame.topRight));
            for (unsigned r = 0; r <= rows; ++r) {
                Text out(1, frame.side);
                for (unsigned c = 0; c < columns; ++c)
                    out += pad + Padded(cells[r][c], widths[c]) + pad + frame.side;
                lines.push_back(out);
                if (r == 0 || (r < rows && random.Next(4) == 0))
                    lines.push_back(rule(frame.left, frame.cross, frame.right));
            }
            lines.push_back(rule(frame.bottomLeft, frame.up, frame.bottomRight));
        } else {  // a progress bar under a caption
            const unsigned total = 10 + random.Next(50), done = random.Next(total + 1);
            lines.push_back(word() + U" " + word() + U"...");
            const std::string percent = " " + std::to_string(100 * done / total) + "%";
            lines.push_back(U"[" + Text(done, U'█') + Text(total - done, random.Next(2) ? U'░' : U'▒') + U"]" +
                            Text(percent.begin(), percent.end()));
        }
        Text screen;
        const Text indent(random.Next(3) ? random.Next(30) : 0, U' ');
        for (const Text& line : lines)
            screen += indent + line + U"\n";
        characters += screen.size();
        screens.push_back(screen);
    }
    return screens;
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
        // Screens of box drawing, a small share of all: what box drawing
        // stands beside comes from them, and little else does.
        const double total = proseWeight * text.proseCharacters + sentenceWeight * text.sentenceCharacters;
        const size_t screenBudget = 200000;
        for (const Text& screen : MakeScreens(text, screenBudget, 91 + static_cast<unsigned>(language)))
            CountText(screen, language, ScreenShare * total / screenBudget, counts);
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

    // What lies between the letters (ASCII markup, code, English, digits,
    // punctuation) costs the same in every language: the languages'
    // sources differ in how much of it they hold (manual pages more than
    // prose), and a file with much of it would otherwise be read in the
    // language whose sources held most, its letters priced by that.
    for (int previous = LetterCount; previous < SymbolCount; ++previous) {
        for (int next = LetterCount; next < SymbolCount; ++next) {
            unsigned char* lanes = model.pairCost[previous * SymbolStride + next];
            double p = 0;
            for (int language = 0; language < LanguageCount; ++language)
                p += std::exp(-lanes[language] / 8.0) / LanguageCount;
            for (int language = 0; language < LanguageCount; ++language)
                lanes[language] = previous == SymbolSpace && next == SymbolSpace ? 0 : CostOf(p);
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
            if ((isQuote(previous) || isQuote(next)) && previous != SymbolRare && next != SymbolRare &&
                !IsBoxSymbol(previous) && !IsBoxSymbol(next)) {
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

    for (int page = 0; page < ReadingCount; ++page) {
        const std::array<char32_t, 256> decoding = DecodingOf(page);
        for (int byte = 0; byte < 256; ++byte) {
            model.token[page][byte] = static_cast<unsigned char>(DetectionTokenOf(decoding[byte]));
            model.byteCost[page][byte] = static_cast<unsigned char>(byte < 0x80 ? 0 : DetectionCostOf(decoding[byte]));
        }
    }
}

namespace {

Text Capitals(Text text)
{
    for (char32_t& c : text)
        c = c >= 0x430 && c < 0x450 ? c - 0x20 : c >= 0x450 && c < 0x460 ? c - 0x50 : c == 0x491 ? 0x490 : c;
    return text;
}

// Abbreviations as they are made: the initials of consecutive words, in
// capitals, alone or a few in a line, bare, bracketed or quoted.
std::vector<Text> Abbreviations(const std::vector<Text>& texts, size_t most, unsigned seed)
{
    const std::vector<Text> words = WordsOf(texts);
    Random random(seed);
    std::vector<Text> made;
    for (size_t at = 0; at + 6 < words.size() && made.size() < most;) {
        Text line;
        const unsigned count = random.Next(3) == 0 ? 2 + random.Next(4) : 1;
        for (unsigned k = 0; k < count && at + 6 < words.size(); ++k) {
            const unsigned letters = 2 + random.Next(4);
            Text abbreviation;
            for (unsigned n = 0; n < letters; ++n)
                abbreviation += words[at++][0];
            line += (line.empty() ? U"" : U" ") + Capitals(abbreviation);
        }
        static const char32_t* const Forms[] = {U"%", U"%", U"%", U"[%]", U"«%»", U"\"%\"", U"(%)", U"%."};
        const Text form = Forms[random.Next(8)];
        const size_t mark = form.find(U'%');
        made.push_back(form.substr(0, mark) + line + form.substr(mark + 1));
        at += random.Next(20);
    }
    return made;
}

void AddSamples(const Text& text, int language, int lengthClass, const std::array<char32_t, 256> (&decodings)[ReadingCount],
                std::vector<Sample>& samples)
{
    for (int page = 0; page < ReadingCount; ++page) {
        Sample sample;
        sample.language = language;
        sample.lengthClass = lengthClass;
        sample.page = page;
        sample.text = text;
        if (!Encode(text, page, sample.bytes))
            continue;
        // KOI8-U and cp1125 only for what KOI8-R and cp866 cannot hold.
        Bytes sibling;
        if (page >= CodePageCount && Encode(text, page == ReadingKoi8u ? CodePageKoi8r : CodePageCp866, sibling))
            continue;
        for (int other = 0; other < ReadingCount; ++other)
            sample.sameAs[other] = ReadTheSame(sample.bytes, decodings[page], decodings[other]);
        samples.push_back(sample);
    }
}

} // namespace

std::vector<Sample> MakeSamples(const std::vector<LanguageText>& languages, const size_t (&perClass)[LengthClassCount],
                                unsigned seed, bool capitals)
{
    const size_t bounds[LengthClassCount][2] = {{5, 15}, {16, 120}, {200, 1000}};
    std::array<char32_t, 256> decodings[ReadingCount];
    for (int page = 0; page < ReadingCount; ++page)
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
                AddSamples(text, language, lengthClass, decodings, samples);
                // Headings, notices and names in capitals: one piece in four.
                if (capitals && n % 4 == 1)
                    AddSamples(Capitals(text), language, lengthClass, decodings, samples);
            }
        }
        if (capitals) {
            std::vector<Text> all = texts;
            all.insert(all.end(), sentences.begin(), sentences.end());
            for (const Text& abbreviation : Abbreviations(all, perClass[0] / 2, seed + 77 + static_cast<unsigned>(language)))
                AddSamples(abbreviation, language, 0, decodings, samples);
        }
    }
    return samples;
}

std::vector<Sample> ReadFileSamples(const std::string& folder)
{
    static const char* const Codecs[ReadingCount] = {"cp866", "cp1251", "koi8-r", "mac-cyrillic", "iso8859-5", "koi8-u",
                                                     "cp1125"};
    static const char* const Languages[LanguageCount] = {"ru", "uk", "be", "bg", "sr", "mk"};
    std::array<char32_t, 256> decodings[ReadingCount];
    for (int page = 0; page < ReadingCount; ++page)
        decodings[page] = DecodingOf(page);
    std::vector<Sample> samples;
    std::ifstream manifest(folder + "/manifest.tsv");
    if (!manifest) {
        std::fprintf(stderr, "no %s/manifest.tsv: run tools/detection/make_file_corpus.py\n", folder.c_str());
        std::exit(1);
    }
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string path, kind, language, codec, textPath;
        std::getline(fields, path, '\t');
        std::getline(fields, kind, '\t');
        std::getline(fields, language, '\t');
        std::getline(fields, codec, '\t');
        std::getline(fields, textPath, '\t');
        Sample sample;
        sample.page = -1;
        for (int page = 0; page < ReadingCount; ++page)
            sample.page = codec == Codecs[page] ? page : sample.page;
        if (sample.page < 0)
            continue;
        sample.language = 0;
        for (int n = 0; n < LanguageCount; ++n)
            sample.language = language == Languages[n] ? n : sample.language;
        sample.lengthClass = 2;
        std::ifstream bytes(folder + "/" + path, std::ios::binary);
        sample.bytes.assign(std::istreambuf_iterator<char>(bytes), std::istreambuf_iterator<char>());
        for (int other = 0; other < ReadingCount; ++other)
            sample.sameAs[other] = ReadTheSame(sample.bytes, decodings[sample.page], decodings[other]);
        samples.push_back(sample);
    }
    return samples;
}

void Calibrate(const std::vector<Sample>& samples, DetectionModel& model)
{
    // Set, not counted: how much rarer text in each page is than in cp1251,
    // the page of nearly all text on Windows. A text that reads almost as
    // well in cp1251 as in Macintosh Cyrillic is far likelier to be cp1251;
    // KOI8-U and cp1125 are the rarer pages of Ukrainian text only.
    const unsigned char pageCost[ReadingCount] = {2, 0, 2, 8, 6, 4, 16};
    for (int page = 0; page < ReadingCount; ++page)
        model.pageCost[page] = pageCost[page];

    // The highest mean cost of a byte from 0x80 up that text reached in its
    // own code page, beyond the ASCII around it, with a margin.
    double highest = 0;
    std::vector<PageScores> scores(samples.size());
    for (size_t n = 0; n < samples.size(); ++n) {
        const Sample& sample = samples[n];
        ScoreCodePages(model, sample.bytes.data(), static_cast<unsigned>(sample.bytes.size()), scores[n]);
        const TextScore& own = scores[n].page[sample.page];
        const double cost = static_cast<double>(BestLanguageCost(own)) - scores[n].ascii;
        if (scores[n].high > 0)
            highest = std::max(highest, cost / scores[n].high);
    }
    model.minimumLetters = 2;
    model.highestMeanByteCost = static_cast<int>(std::ceil(highest * 1.25));

    // Each decision counted by the entry of the table it looks up.
    const int buckets = static_cast<int>(sizeof model.confidence[0][0]);
    const int entries = EvidenceBandCount * buckets;
    std::vector<double> right(PairKindCount * entries, 0), total(PairKindCount * entries, 0);
    for (size_t n = 0; n < samples.size(); ++n) {
        DecisionDetail detail;
        const Detection detection = DecideCodePage(model, scores[n], DeclaredReading(samples[n].bytes.data(),
                                                   static_cast<unsigned>(samples[n].bytes.size())), &detail);
        if (detection.page < 0)
            continue;
        const int at = detail.kind * entries + EvidenceBand(detail.differing) * buckets +
                       static_cast<int>(std::min<uint32_t>(detail.margin / 2, buckets - 1));
        total[at] += 1;
        right[at] += samples[n].sameAs[detection.page];
    }
    for (int kind = 0; kind < PairKindCount; ++kind) {
        for (int band = 0; band < EvidenceBandCount; ++band) {
            // Pooled adjacent violators: the rate rises with the margin.
            std::vector<double> rate(buckets), weight(buckets);
            std::vector<int> first(buckets);
            int blocks = 0;
            for (int bucket = 0; bucket < buckets; ++bucket) {
                const int at = kind * entries + band * buckets + bucket;
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
            // The confidence promises no more than the share right is at
            // least, as surely as one in twenty allows (Wilson's lower
            // bound): a block of a few decisions, all right, is no proof of
            // 100 %. From the top down, a block never promises more than
            // the ones above it.
            std::vector<double> bound(blocks);
            const double z = 1.645;
            for (int block = blocks - 1; block >= 0; --block) {
                const double p = rate[block], w = weight[block];
                const double lower = (p + z * z / (2 * w) - z * std::sqrt(p * (1 - p) / w + z * z / (4 * w * w))) / (1 + z * z / w);
                bound[block] = block + 1 < blocks ? std::min(lower, bound[block + 1]) : lower;
            }
            for (int bucket = 0; blocks == 0 && bucket < buckets; ++bucket)
                model.confidence[kind][band][bucket] = 50;  // never seen: no better than a guess
            for (int block = 0; block < blocks; ++block) {
                const int end = block + 1 < blocks ? first[block + 1] : buckets;
                for (int bucket = block == 0 ? 0 : first[block]; bucket < end; ++bucket)
                    model.confidence[kind][band][bucket] = static_cast<unsigned char>(std::floor(100 * bound[block]));
            }
        }
    }
    std::printf("highest mean cost of a byte from 0x80 up %.2f nats; confidence by kind, evidence and margin in quarter nats:\n",
                highest / 8);
    for (int kind = 0; kind < PairKindCount; ++kind) {
        for (int band = 0; band < EvidenceBandCount; ++band) {
            for (int bucket = 0; bucket < buckets; ++bucket)
                std::printf(" %d", model.confidence[kind][band][bucket]);
            std::printf("\n");
        }
    }
}
