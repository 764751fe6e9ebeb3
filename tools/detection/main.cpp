// train_detection CORPUS_DIR OUTPUT_CPP
//
// Counts the statistics of Russian text in the training part of the corpus,
// calibrates the detector's confidence on pieces of the same part, prints
// how the detector does on them, and writes the statistics as OUTPUT_CPP
// (engine/russian_statistics.cpp). The held-out part is never read here.
// With --mistakes, also prints every training piece it gets wrong.
#include <cstdio>
#include <cstring>
#include <string>

#include "model_file.h"
#include "model_training.h"

namespace {

std::string Utf8(const Text& text)
{
    std::string utf8;
    for (char32_t c : text) {
        if (c == '\n' || c == '\t') {
            utf8 += c == '\n' ? "\\n" : "\\t";
        } else if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | c >> 6);
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | c >> 12);
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

void PrintMistakes(const DetectionModel& model, const std::vector<ScoredSample>& samples,
                   const std::vector<Text>* pieces)
{
    for (const ScoredSample& sample : samples) {
        const Detection detection = DecideCodePage(model, sample.scores);
        if (detection.page >= 0 && sample.sameAs[detection.page])
            continue;
        std::printf("%d taken for %d (%d %%), costs", sample.page, detection.page, detection.confidence);
        for (unsigned cost : sample.scores.cost)
            std::printf(" %u", cost / 8);
        std::printf(": %s\n", Utf8(pieces[sample.lengthClass][sample.piece]).c_str());
    }
}

void PrintAccuracy(const DetectionModel& model, const std::vector<ScoredSample>& samples)
{
    const char* const names[CodePageCount] = {"cp866", "cp1251", "koi8-r", "mac", "iso-8859-5"};
    for (int lengthClass = 0; lengthClass < 2; ++lengthClass) {
        for (int page = 0; page < CodePageCount; ++page) {
            int total = 0, strict = 0, same = 0;
            for (const ScoredSample& sample : samples) {
                if (sample.page != page || sample.lengthClass != lengthClass)
                    continue;
                const Detection detection = DecideCodePage(model, sample.scores);
                ++total;
                strict += detection.page == page;
                same += detection.page >= 0 && sample.sameAs[detection.page];
            }
            std::printf("training part, %s, %-10s %6d strings: strict %7.3f %%, same text %7.3f %%\n",
                        lengthClass == 0 ? "15-120  " : "200-1000", names[page], total,
                        100.0 * strict / total, 100.0 * same / total);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const bool mistakes = argc == 4 && std::strcmp(argv[3], "--mistakes") == 0;
    if (argc != 3 && !mistakes) {
        std::fprintf(stderr, "usage: train_detection CORPUS_DIR OUTPUT_CPP [--mistakes]\n"
                             "  CORPUS_DIR is usually %s\n", DefaultCorpusDir);
        return 2;
    }
    const std::vector<Text> fortunes = ReadFortunes(argv[1]);
    const std::vector<Text> training = PartOf(fortunes, TrainingPart);
    size_t characters = 0;
    for (const Text& fortune : training)
        characters += fortune.size();

    DetectionModel model = {};
    CountStatistics(training, model);
    const std::vector<Text> pieces[2] = {CutPieces(training, 15, 120, 1), CutPieces(training, 200, 1000, 2)};
    const std::vector<ScoredSample> samples = ScoreSamples(model, pieces[0], pieces[1]);
    Calibrate(samples, model);
    if (mistakes)
        PrintMistakes(model, samples, pieces);
    PrintAccuracy(model, samples);

    const std::string description = std::to_string(fortunes.size()) + " distinct fortunes, " +
        std::to_string(training.size()) + " of them (" + std::to_string(characters) +
        " characters) in the training part.";
    if (!WriteModelSource(model, argv[2], description)) {
        std::perror(argv[2]);
        return 1;
    }
    std::printf("%s\nwrote %s\n", description.c_str(), argv[2]);
    return 0;
}
